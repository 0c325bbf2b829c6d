#include "platform/odbc/odbc_call.hpp"

namespace kelvara::odbc {

void throwDatabaseError(SQLRETURN rc, const HandleSet& handles) {
    if (rc == SQL_ERROR) {
        throw CDBException(rc, takeDiagnostics(handles));
    }
    throw CDBException(rc, {});
}

void throwLayerError(SQLRETURN rc) { throw CDBException(rc, {}); }

} // namespace kelvara::odbc
