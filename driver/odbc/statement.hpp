#pragma once

#include "driver/odbc/handles.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvara::driver::odbc {

// A column bound with SQLBindCol.
struct ColumnBinding {
    SQLSMALLINT cType = 0; // 0: not bound
    SQLPOINTER target = nullptr;
    SQLLEN bufferLength = 0;
    SQLLEN* indicator = nullptr;
};

// Where SQLGetData stands in one column of the current row, so that a value
// read in pieces continues where the last call stopped.
struct PieceState {
    std::uint64_t row = 0;  // the row these pieces belong to
    std::size_t offset = 0; // bytes of the character or binary form handed out
    bool formatted = false; // `text` holds the form for this row
    bool finished = false;  // the whole value has been handed out
    SQLSMALLINT cType = 0;  // the C type the pieces are read as
    std::string text;       // the form, kept to reuse its storage
};

class Statement : public HandleBase {
public:
    static constexpr HandleTag kTag = HandleTag::Statement;
    explicit Statement(Connection& c) : HandleBase(kTag), connection(c) {}

    enum class State { Allocated, Prepared, Executed };

    Connection& connection;
    State state = State::Allocated;
    std::string statementText;
    std::unique_ptr<ResultSet> result;
    bool prepared = false;       // made by SQLPrepare, so SQLExecute may run it again
    bool hasRow = false;         // positioned on a row
    std::uint64_t rowNumber = 0; // rows fetched since execution; 0 before the first
    std::vector<ColumnBinding> bindings;
    std::vector<PieceState> pieces;

    // Attributes.
    SQLULEN queryTimeout = 0;
    SQLULEN maxRows = 0;
    SQLULEN maxLength = 0;
    SQLULEN rowArraySize = 1;
    SQLULEN rowBindType = SQL_BIND_BY_COLUMN;
    SQLULEN* rowsFetched = nullptr;
    SQLUSMALLINT* rowStatus = nullptr;
    SQLLEN* bindOffset = nullptr;
    SQLULEN noScan = SQL_NOSCAN_OFF;
    SQLULEN metadataId = SQL_FALSE;

    bool cursorOpen() const noexcept { return state == State::Executed && result != nullptr; }
};

} // namespace kelvara::driver::odbc
