# Run by CPack before it makes the package: the package's library
# dependencies are found by dpkg-shlibdeps, and a package made without it
# would install without Qt or the C++ run time.
find_program(_os_shlibdeps dpkg-shlibdeps)
if(NOT _os_shlibdeps)
    message(FATAL_ERROR "dpkg-shlibdeps não foi encontrado (pacote dpkg-dev): sem ele o pacote sairia sem as "
                        "dependências de bibliotecas. Instale o dpkg-dev e gere o pacote de novo.")
endif()
