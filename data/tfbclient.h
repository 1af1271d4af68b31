#pragma once
// Run-time binding of the Firebird client library (libfbclient.so.2).
// The library is opened with dlopen and every entry point found with dlsym;
// ibase.h is used for its types only, so the program starts (and says what
// is missing) on a machine without the library.
#include <ibase.h>
#include <QByteArray>
#include <QString>
#include <memory>

class TFbClient
{
public:
    static constexpr const char *LibraryName = "libfbclient.so.2";

    // The process-wide instance, loaded on first use. Throws EFbError with
    // the layer's "not found" message when the library cannot be loaded.
    static TFbClient &Instance();

    // Loads a library by file name into a separate instance (tests use it to
    // check the failure path with a name that does not exist).
    static std::unique_ptr<TFbClient> Load(const char *fileName);

    ~TFbClient();
    TFbClient(const TFbClient &) = delete;
    TFbClient &operator=(const TFbClient &) = delete;

    // Turns a failed status vector into EFbError (message: the client's
    // interpretation, one line per entry, joined by line breaks).
    [[noreturn]] void Raise(const ISC_STATUS *status) const;
    void Check(const ISC_STATUS *status) const
    {
        if (status[0] == 1 && status[1] != 0)
            Raise(status);
    }
    QString ErrorText(const ISC_STATUS *status) const;

#define OS_FB_FN(name) decltype(&::name) name = nullptr;
    OS_FB_FN(isc_attach_database)
    OS_FB_FN(isc_detach_database)
    OS_FB_FN(isc_database_info)
    OS_FB_FN(isc_start_multiple)
    OS_FB_FN(isc_commit_transaction)
    OS_FB_FN(isc_commit_retaining)
    OS_FB_FN(isc_rollback_transaction)
    OS_FB_FN(isc_dsql_alloc_statement2)
    OS_FB_FN(isc_dsql_prepare)
    OS_FB_FN(isc_dsql_describe)
    OS_FB_FN(isc_dsql_describe_bind)
    OS_FB_FN(isc_dsql_execute)
    OS_FB_FN(isc_dsql_execute2)
    OS_FB_FN(isc_dsql_execute_immediate)
    OS_FB_FN(isc_dsql_fetch)
    OS_FB_FN(isc_dsql_free_statement)
    OS_FB_FN(isc_dsql_sql_info)
    OS_FB_FN(isc_sqlcode)
    OS_FB_FN(isc_sql_interprete)
    OS_FB_FN(fb_interpret)
    OS_FB_FN(isc_vax_integer)
    OS_FB_FN(isc_encode_timestamp)
    OS_FB_FN(isc_decode_timestamp)
    OS_FB_FN(isc_drop_database)
    // The services interface: the server's own backup and restore.
    OS_FB_FN(isc_service_attach)
    OS_FB_FN(isc_service_detach)
    OS_FB_FN(isc_service_start)
    OS_FB_FN(isc_service_query)
#undef OS_FB_FN

private:
    TFbClient() = default;
    bool Resolve();
    void *m_handle = nullptr;
};

// The layer's message when the client library cannot be loaded.
QString FbClientMissingMessage();
