#pragma once

#include "driver/core/database.hpp"
#include "driver/core/database_file.hpp"
#include "driver/core/page_cursor.hpp"
#include "driver/core/table_definition.hpp"

#include <cstdint>
#include <memory>
#include <vector>

namespace kelvara::driver::detail {

// Reads a table's rows straight from its data pages: walks the pages of the
// usage map, the row offsets of each page (skipping deleted rows, following
// rows moved to another page), splits each row into its fields and decodes
// the bytes of a field only when it is asked for.
class TableReaderImpl final : public TableReader {
public:
    TableReaderImpl(std::shared_ptr<const DatabaseFile> file, TableDefinition definition);

    const std::string& name() const override { return definition_.name; }
    const std::vector<ColumnInfo>& columns() const override { return definition_.columns; }
    bool next() override;
    void read(std::size_t column, Value& out) override;
    void rewind() override;

private:
    struct Field {
        const unsigned char* data = nullptr;
        std::size_t size = 0;
        bool present = false; // false: NULL
    };

    bool loadNextPage();
    bool loadRow(unsigned rowIndex);
    void locateRow(const unsigned char* page, std::uint32_t pageNumber, unsigned rowIndex,
                   std::size_t& start, std::size_t& end, std::uint16_t& flags) const;
    void crackRow();
    void crackJet3VariableOffsets();
    Field field(const ColumnLayout& layout) const;
    bool nullBit(std::uint16_t number) const;

    void decodeFixed(const ColumnLayout& layout, const Field& field, Value& out) const;
    void decodeLargeNumber(const Field& field, Value& out) const;
    void decodeText(const unsigned char* data, std::size_t size, std::string& out) const;
    void readLongValue(const Field& field, std::vector<unsigned char>& out);
    const unsigned char* findRow(std::uint32_t pointer, std::vector<unsigned char>& buffer,
                                 std::size_t& size);
    [[noreturn]] void damaged(const std::string& what) const;

    std::shared_ptr<const DatabaseFile> file_;
    TableDefinition definition_;
    PageCursor cursor_;
    unsigned pageSize_;

    std::vector<unsigned char> page_;         // the current data page
    std::vector<unsigned char> overflowPage_; // the page a moved row lives on
    std::vector<unsigned char> longValuePage_;
    std::vector<unsigned char> longValue_; // a memo or OLE value being put together
    std::uint32_t pageNumber_ = 0;
    unsigned rowCount_ = 0;
    unsigned nextRow_ = 0;
    bool pageLoaded_ = false;
    bool onRow_ = false;

    // The current row, split.
    const unsigned char* row_ = nullptr;
    std::size_t rowSize_ = 0;
    unsigned rowColumns_ = 0;
    const unsigned char* nullMask_ = nullptr;
    std::size_t fixedEnd_ = 0; // end of the fixed part and the variable data
    unsigned rowVariableCount_ = 0;
    std::vector<std::size_t> variableOffsets_; // rowVariableCount_ + 1 entries
};

} // namespace kelvara::driver::detail
