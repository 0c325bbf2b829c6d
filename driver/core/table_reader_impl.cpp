#include "driver/core/table_reader_impl.hpp"

#include "driver/core/bytes.hpp"
#include "driver/core/file_error.hpp"
#include "driver/core/sqlstate.hpp"

#include <algorithm>

namespace kelvara::driver::detail {
namespace {

constexpr std::uint16_t kDeletedRow = 0x8000;
constexpr std::uint16_t kMovedRow = 0x4000;
constexpr std::uint16_t kRowOffsetMask = 0x1FFF;

constexpr std::uint32_t kLongValueInline = 0x80000000U;
constexpr std::uint32_t kLongValueOneRow = 0x40000000U;
constexpr std::uint32_t kLongValueKindMask = 0xC0000000U;
constexpr std::size_t kLongValueHeader = 12;

// A row moved off its page leaves a pointer behind; a chain longer than this
// can only come from a damaged file.
constexpr int kMaxMoves = 8;

std::size_t storedSize(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Byte:
        return 1;
    case ColumnKind::Int16:
        return 2;
    case ColumnKind::Int32:
    case ColumnKind::Float32:
        return 4;
    case ColumnKind::Money:
    case ColumnKind::Float64:
    case ColumnKind::DateTime:
        return 8;
    case ColumnKind::Guid:
        return 16;
    case ColumnKind::Numeric:
        return 17;
    default:
        return 0;
    }
}

} // namespace

TableReaderImpl::TableReaderImpl(std::shared_ptr<const DatabaseFile> file,
                                 TableDefinition definition)
    : file_(std::move(file)), definition_(std::move(definition)),
      cursor_(*file_, definition_.usageMap), pageSize_(file_->pages->pageSize()), page_(pageSize_),
      overflowPage_(pageSize_), longValuePage_(pageSize_) {}

void TableReaderImpl::damaged(const std::string& what) const {
    throwDamaged(file_->pages->path(), "table '" + definition_.name + "': " + what);
}

void TableReaderImpl::rewind() {
    cursor_.rewind();
    pageLoaded_ = false;
    onRow_ = false;
}

bool TableReaderImpl::next() {
    onRow_ = false;
    for (;;) {
        if (!pageLoaded_ && !loadNextPage()) {
            return false;
        }
        while (nextRow_ < rowCount_) {
            if (loadRow(nextRow_++)) {
                onRow_ = true;
                return true;
            }
        }
        pageLoaded_ = false;
    }
}

bool TableReaderImpl::loadNextPage() {
    std::uint32_t number = 0;
    const unsigned rowCountOffset = file_->rowCountOffset();
    while (cursor_.next(number)) {
        file_->pages->read(number, page_.data());
        if (page_[0] != kDataPage || le32(page_.data() + 4) != definition_.definitionPage) {
            continue;
        }
        rowCount_ = le16(page_.data() + rowCountOffset);
        if (rowCountOffset + 2 + 2 * std::size_t{rowCount_} > pageSize_) {
            damaged("data page " + std::to_string(number) + " lists too many rows.");
        }
        pageNumber_ = number;
        nextRow_ = 0;
        pageLoaded_ = true;
        return true;
    }
    return false;
}

void TableReaderImpl::locateRow(const unsigned char* page, std::uint32_t pageNumber,
                                unsigned rowIndex, std::size_t& start, std::size_t& end,
                                std::uint16_t& flags) const {
    const unsigned rowCountOffset = file_->rowCountOffset();
    const unsigned count = le16(page + rowCountOffset);
    if (rowIndex >= count || rowCountOffset + 2 + 2 * std::size_t{count} > pageSize_) {
        damaged("row " + std::to_string(rowIndex) + " of page " + std::to_string(pageNumber) +
                " does not exist.");
    }
    const std::uint16_t raw = le16(page + rowCountOffset + 2 + 2 * rowIndex);
    flags = raw & static_cast<std::uint16_t>(~kRowOffsetMask);
    start = raw & kRowOffsetMask;
    end = rowIndex == 0 ? pageSize_ : (le16(page + rowCountOffset + 2 * rowIndex) & kRowOffsetMask);
    if ((flags & kDeletedRow) != 0) {
        return;
    }
    if (start < rowCountOffset + 2 + 2 * std::size_t{count} || start >= end || end > pageSize_) {
        damaged("row " + std::to_string(rowIndex) + " of page " + std::to_string(pageNumber) +
                " has an impossible position.");
    }
}

const unsigned char* TableReaderImpl::findRow(std::uint32_t pointer,
                                              std::vector<unsigned char>& buffer,
                                              std::size_t& size) {
    const std::uint32_t pageNumber = pointer >> 8;
    const unsigned rowIndex = pointer & 0xFFU;
    file_->pages->read(pageNumber, buffer.data());
    if (buffer[0] != kDataPage) {
        damaged("page " + std::to_string(pageNumber) + " is not a data page.");
    }
    std::size_t start = 0;
    std::size_t end = 0;
    std::uint16_t flags = 0;
    // The target of a pointer is marked deleted so that a scan passes over
    // it; through the pointer it is live.
    locateRow(buffer.data(), pageNumber, rowIndex, start, end, flags);
    if (start >= end || end > pageSize_) {
        damaged("row " + std::to_string(rowIndex) + " of page " + std::to_string(pageNumber) +
                " has an impossible position.");
    }
    size = end - start;
    return buffer.data() + start;
}

bool TableReaderImpl::loadRow(unsigned rowIndex) {
    std::size_t start = 0;
    std::size_t end = 0;
    std::uint16_t flags = 0;
    locateRow(page_.data(), pageNumber_, rowIndex, start, end, flags);
    if ((flags & kDeletedRow) != 0) {
        return false;
    }
    row_ = page_.data() + start;
    rowSize_ = end - start;
    for (int moves = 0; (flags & kMovedRow) != 0; ++moves) {
        if (rowSize_ < 4 || moves == kMaxMoves) {
            damaged("a moved row on page " + std::to_string(pageNumber_) + " cannot be found.");
        }
        const std::uint32_t pointer = le32(row_);
        row_ = findRow(pointer, overflowPage_, rowSize_);
        flags = le16(overflowPage_.data() + file_->rowCountOffset() + 2 + 2 * (pointer & 0xFFU)) &
                kMovedRow;
    }
    crackRow();
    return true;
}

void TableReaderImpl::crackRow() {
    const std::size_t countSize = file_->isJet3() ? 1 : 2;
    if (rowSize_ < countSize) {
        damaged("a row on page " + std::to_string(pageNumber_) + " is too short.");
    }
    rowColumns_ = file_->isJet3() ? row_[0] : le16(row_);
    const std::size_t maskSize = (rowColumns_ + 7) / 8;
    if (rowSize_ < countSize + maskSize) {
        damaged("a row on page " + std::to_string(pageNumber_) + " is too short.");
    }
    nullMask_ = row_ + rowSize_ - maskSize;
    fixedEnd_ = rowSize_ - maskSize;
    rowVariableCount_ = 0;
    if (!definition_.hasVariableColumns) {
        return;
    }
    if (file_->isJet3()) {
        crackJet3VariableOffsets();
        return;
    }
    const std::size_t tail = fixedEnd_;
    if (tail < countSize + 2) {
        damaged("a row on page " + std::to_string(pageNumber_) + " is too short.");
    }
    rowVariableCount_ = le16(row_ + tail - 2);
    const std::size_t tableSize = 2 * (std::size_t{rowVariableCount_} + 1);
    if (tail < countSize + 2 + tableSize) {
        damaged("the variable columns of a row on page " + std::to_string(pageNumber_) +
                " do not fit.");
    }
    variableOffsets_.resize(rowVariableCount_ + 1);
    for (std::size_t i = 0; i <= rowVariableCount_; ++i) {
        variableOffsets_[i] = le16(row_ + tail - 4 - 2 * i);
    }
    fixedEnd_ = tail - 2 - tableSize;
}

void TableReaderImpl::crackJet3VariableOffsets() {
    // Jet 3 keeps one-byte offsets. A jump table, just before the variable
    // column count, lists for each 256-byte stretch of the row the first
    // entry whose offset lies beyond it; the number of jumps follows from the
    // row length, and the last may be a filler.
    const std::size_t tail = fixedEnd_;
    if (tail < 2) {
        damaged("a row on page " + std::to_string(pageNumber_) + " is too short.");
    }
    rowVariableCount_ = row_[tail - 1];
    std::size_t jumps = (rowSize_ - 1) / 256;
    if (tail < 2 + jumps + rowVariableCount_ + 1) {
        damaged("the variable columns of a row on page " + std::to_string(pageNumber_) +
                " do not fit.");
    }
    const std::size_t firstEntry = tail - 2 - jumps;
    const std::size_t lowestEntry = firstEntry - rowVariableCount_;
    if (lowestEntry / 256 < jumps) {
        --jumps;
    }
    variableOffsets_.resize(rowVariableCount_ + 1);
    std::size_t jumpsUsed = 0;
    for (std::size_t i = 0; i <= rowVariableCount_; ++i) {
        while (jumpsUsed < jumps && row_[tail - 2 - jumpsUsed] == i) {
            ++jumpsUsed;
        }
        variableOffsets_[i] = row_[firstEntry - i] + 256 * jumpsUsed;
    }
    fixedEnd_ = lowestEntry;
}

bool TableReaderImpl::nullBit(std::uint16_t number) const {
    return number < rowColumns_ &&
           ((static_cast<unsigned>(nullMask_[number / 8]) >> (number % 8)) & 1U) != 0;
}

TableReaderImpl::Field TableReaderImpl::field(const ColumnLayout& layout) const {
    Field result;
    if (!nullBit(layout.number)) {
        return result;
    }
    const std::size_t countSize = file_->isJet3() ? 1 : 2;
    std::size_t start = 0;
    std::size_t end = 0;
    if (layout.fixed) {
        start = countSize + layout.fixedOffset;
        end = start + layout.size;
    } else {
        if (layout.varIndex >= rowVariableCount_) {
            return result;
        }
        start = variableOffsets_[layout.varIndex];
        end = variableOffsets_[layout.varIndex + 1U];
    }
    if (start < countSize || start > end || end > fixedEnd_) {
        damaged("a value on page " + std::to_string(pageNumber_) + " lies outside its row.");
    }
    result.data = row_ + start;
    result.size = end - start;
    result.present = true;
    return result;
}

void TableReaderImpl::read(std::size_t column, Value& out) {
    if (!onRow_ || column >= definition_.layouts.size()) {
        throw DriverError(sqlstate::kInvalidCursorState, "There is no current row to read.");
    }
    const ColumnLayout& layout = definition_.layouts[column];
    if (layout.kind == ColumnKind::Bool) {
        // A Yes/No value is its null bit; it is never NULL.
        out.type = Value::Type::Bool;
        out.boolean = nullBit(layout.number);
        return;
    }
    const Field stored = field(layout);
    if (!stored.present || layout.kind == ColumnKind::Unsupported) {
        out.type = Value::Type::Null;
        return;
    }
    switch (layout.kind) {
    case ColumnKind::Text:
        out.type = Value::Type::Text;
        out.bytes.clear();
        decodeText(stored.data, stored.size, out.bytes);
        return;
    case ColumnKind::Memo:
        readLongValue(stored, longValue_);
        out.type = Value::Type::Text;
        out.bytes.clear();
        decodeText(longValue_.data(), longValue_.size(), out.bytes);
        return;
    case ColumnKind::Ole:
        readLongValue(stored, longValue_);
        out.type = Value::Type::Binary;
        out.bytes.assign(longValue_.begin(), longValue_.end());
        return;
    case ColumnKind::Binary:
        out.type = Value::Type::Binary;
        out.bytes.assign(stored.data, stored.data + stored.size);
        return;
    default:
        decodeFixed(layout, stored, out);
        return;
    }
}

void TableReaderImpl::decodeFixed(const ColumnLayout& layout, const Field& stored,
                                  Value& out) const {
    if (layout.largeNumber) {
        decodeLargeNumber(stored, out);
        return;
    }
    if (stored.size < storedSize(layout.kind)) {
        damaged("a value on page " + std::to_string(pageNumber_) + " is too short.");
    }
    const unsigned char* p = stored.data;
    switch (layout.kind) {
    case ColumnKind::Byte:
        out.type = Value::Type::Integer;
        out.integer = p[0];
        return;
    case ColumnKind::Int16:
        out.type = Value::Type::Integer;
        out.integer = static_cast<std::int16_t>(le16(p));
        return;
    case ColumnKind::Int32:
        out.type = Value::Type::Integer;
        out.integer = static_cast<std::int32_t>(le32(p));
        return;
    case ColumnKind::Money:
        out.type = Value::Type::Money;
        out.integer = static_cast<std::int64_t>(le64(p));
        return;
    case ColumnKind::Float32:
        out.type = Value::Type::Float32;
        out.float32 = leFloat(p);
        return;
    case ColumnKind::Float64:
        out.type = Value::Type::Float64;
        out.float64 = leDouble(p);
        return;
    case ColumnKind::DateTime:
        out.type = Value::Type::DateTime;
        out.float64 = leDouble(p);
        return;
    case ColumnKind::Guid:
        out.type = Value::Type::Guid;
        std::copy(p, p + 16, out.guid.begin());
        return;
    case ColumnKind::Numeric:
        // A sign byte, then the 96-bit magnitude (in a 128-bit field) as four
        // little-endian 32-bit words, the most significant first.
        out.type = Value::Type::Decimal;
        out.decimal.negative = p[0] != 0;
        out.decimal.scale = layout.scale;
        for (std::size_t word = 0; word < 4; ++word) {
            out.decimal.magnitude[3 - word] = le32(p + 1 + 4 * word);
        }
        return;
    default:
        out.type = Value::Type::Null;
        return;
    }
}

void TableReaderImpl::decodeLargeNumber(const Field& stored, Value& out) const {
    if (stored.size < 8) {
        damaged("a value on page " + std::to_string(pageNumber_) + " is too short.");
    }
    const auto number = static_cast<std::int64_t>(le64(stored.data));
    const std::uint64_t magnitude =
        number < 0 ? 0 - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number);
    out.type = Value::Type::Decimal;
    out.decimal.negative = number < 0;
    out.decimal.scale = 0;
    out.decimal.magnitude = {static_cast<std::uint32_t>(magnitude),
                             static_cast<std::uint32_t>(magnitude >> 32), 0, 0};
}

void TableReaderImpl::decodeText(const unsigned char* data, std::size_t size,
                                 std::string& out) const {
    if (file_->isJet3()) {
        file_->codePage.append(data, size, out);
    } else {
        appendJetText(data, size, out);
    }
}

void TableReaderImpl::readLongValue(const Field& stored, std::vector<unsigned char>& out) {
    out.clear();
    if (stored.size < kLongValueHeader) {
        damaged("a long value on page " + std::to_string(pageNumber_) + " is cut short.");
    }
    const std::uint32_t header = le32(stored.data);
    const std::size_t length = header & ~kLongValueKindMask;
    const std::uint32_t pointer = le32(stored.data + 4);
    const std::uint64_t fileBytes = std::uint64_t{file_->pages->pageCount()} * pageSize_;
    if (length > fileBytes) {
        damaged("a long value on page " + std::to_string(pageNumber_) +
                " is longer than the file.");
    }
    switch (header & kLongValueKindMask) {
    case kLongValueInline:
        if (length > stored.size - kLongValueHeader) {
            damaged("a long value on page " + std::to_string(pageNumber_) + " is cut short.");
        }
        out.assign(stored.data + kLongValueHeader, stored.data + kLongValueHeader + length);
        return;
    case kLongValueOneRow: {
        std::size_t size = 0;
        const unsigned char* data = findRow(pointer, longValuePage_, size);
        if (length > size) {
            damaged("a long value on page " + std::to_string(pointer >> 8) + " is cut short.");
        }
        out.assign(data, data + length);
        return;
    }
    case 0: {
        out.reserve(length);
        std::uint32_t next = pointer;
        for (std::uint32_t hops = 0; out.size() < length; ++hops) {
            if (next == 0 || hops > file_->pages->pageCount()) {
                damaged("a long value that starts on page " + std::to_string(pointer >> 8) +
                        " is cut short.");
            }
            std::size_t size = 0;
            const unsigned char* data = findRow(next, longValuePage_, size);
            if (size < 4) {
                damaged("a long value row on page " + std::to_string(next >> 8) + " is too short.");
            }
            next = le32(data);
            const std::size_t take = std::min(size - 4, length - out.size());
            out.insert(out.end(), data + 4, data + 4 + take);
        }
        return;
    }
    default:
        damaged("a long value on page " + std::to_string(pageNumber_) + " has an unknown form.");
    }
}

} // namespace kelvara::driver::detail
