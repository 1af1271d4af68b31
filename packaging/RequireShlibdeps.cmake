# Run by CPack before it makes the package: the package's library
# dependencies are found by dpkg-shlibdeps, and a package made without it
# would install without Qt or the C++ run time.
# Looked for where the build's own commands are found (the search path).
find_program(_os_shlibdeps NAMES dpkg-shlibdeps PATHS ENV PATH NO_DEFAULT_PATH)
if(NOT _os_shlibdeps)
    message(FATAL_ERROR "dpkg-shlibdeps não foi encontrado (pacote dpkg-dev): sem ele o pacote sairia sem as "
                        "dependências de bibliotecas. Instale o dpkg-dev e gere o pacote de novo.")
endif()
