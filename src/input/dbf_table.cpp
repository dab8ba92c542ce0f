#include "input/dbf_table.h"

#include <shapefil.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "model/text.h"

namespace skedora {

namespace {

constexpr int kFileHeaderSize = 32;
constexpr int kFieldDescriptorSize = 32;
constexpr unsigned char kHeaderTerminator = 0x0D;

/** dBASE III to 5, FoxBASE and FoxPro; dBASE 7 (other descriptor layout) is not among them. */
constexpr unsigned char kTableVersions[] = {0x02, 0x03, 0x30, 0x31, 0x32, 0x43,
                                            0x7B, 0x83, 0x8B, 0xCB, 0xF5, 0xFB};

/**
 * What the library's hooks need while one of its calls runs: the file we opened ourselves and
 * hand over instead of letting the library open files by name, and the messages it reports.
 */
struct HookState {
    std::FILE* file = nullptr;
    bool handedOver = false;
    /** Where the file stands, -1 when not known. */
    long position = -1;
    std::vector<std::string> messages;
};

// The library's hooks carry no context of their own; each call into it sets this for its span.
thread_local HookState* t_activeHooks = nullptr;

class ActiveHooks {
  public:
    explicit ActiveHooks(HookState& state) : m_previous(t_activeHooks) { t_activeHooks = &state; }
    ~ActiveHooks() { t_activeHooks = m_previous; }
    ActiveHooks(const ActiveHooks&) = delete;
    ActiveHooks& operator=(const ActiveHooks&) = delete;

  private:
    HookState* m_previous;
};

std::FILE* AsFile(SAFile file) {
    return reinterpret_cast<std::FILE*>(file);
}

// The library asks for "<name>.dbf", then "<name>.DBF", then a ".cpg" code page file beside it.
// The first request gets the file already opened and checked; every other one finds nothing.
SAFile HandOverFile(const char* /*name*/, const char* /*access*/) {
    HookState* state = t_activeHooks;
    if (state == nullptr || state->file == nullptr || state->handedOver) {
        return nullptr;
    }
    state->handedOver = true;
    return reinterpret_cast<SAFile>(state->file);
}

// The library seeks before every row it reads. A seek to where the file already stands is
// skipped: the standard library would make a system call for each one.
SAOffset ReadBytes(void* buffer, SAOffset size, SAOffset count, SAFile file) {
    const SAOffset read = std::fread(buffer, size, count, AsFile(file));
    if (HookState* state = t_activeHooks; state != nullptr && state->position >= 0) {
        state->position = read == count ? state->position + static_cast<long>(size * count) : -1;
    }
    return read;
}

SAOffset RefuseWrite(void* /*buffer*/, SAOffset /*size*/, SAOffset /*count*/, SAFile /*file*/) {
    return 0;
}

SAOffset Seek(SAFile file, SAOffset offset, int whence) {
    HookState* state = t_activeHooks;
    if (state != nullptr && whence == SEEK_SET && state->position >= 0 &&
        static_cast<long>(offset) == state->position) {
        return 0;
    }
    const bool moved = std::fseek(AsFile(file), static_cast<long>(offset), whence) == 0;
    if (state != nullptr) {
        state->position = moved ? std::ftell(AsFile(file)) : -1;
    }
    return moved ? 0 : 1;
}

SAOffset Tell(SAFile file) {
    if (const HookState* state = t_activeHooks; state != nullptr && state->position >= 0) {
        return static_cast<SAOffset>(state->position);
    }
    return static_cast<SAOffset>(std::ftell(AsFile(file)));
}

int NoFlush(SAFile /*file*/) {
    return 0;
}

// The table owns the file and closes it after the library has let go of it.
int KeepOpen(SAFile /*file*/) {
    return 0;
}

int RefuseRemove(const char* /*name*/) {
    return -1;
}

void CollectMessage(const char* message) {
    if (t_activeHooks != nullptr && message != nullptr) {
        t_activeHooks->messages.emplace_back(message);
    }
}

unsigned U16(const unsigned char* bytes) {
    return bytes[0] | (bytes[1] << 8);
}

std::uint32_t U32(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

Error BadTable(const std::string& description) {
    return {errors::kBadTable, description};
}

struct CheckedHeader {
    std::uint32_t rows = 0;
    int fields = 0;
    int recordLength = 0;
};

bool ReadAt(std::FILE* file, long offset, void* buffer, std::size_t size) {
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(buffer, 1, size, file) == size;
}

/** Checks the header bytes against each other and against the file's size. */
MaybeError CheckHeader(std::FILE* file, std::uint64_t fileSize, const std::string& name,
                       CheckedHeader& checked) {
    if (fileSize < kFileHeaderSize) {
        return BadTable(name + " is not a dBASE table");
    }
    unsigned char start[kFileHeaderSize];
    if (!ReadAt(file, 0, start, sizeof start)) {
        return errors::PathFileAccess();
    }
    if (std::find(std::begin(kTableVersions), std::end(kTableVersions), start[0]) ==
        std::end(kTableVersions)) {
        return BadTable(name + " is not a dBASE table");
    }
    const std::uint32_t rows = U32(start + 4);
    const unsigned headerLength = U16(start + 8);
    const unsigned recordLength = U16(start + 10);
    if (headerLength > fileSize) {
        return BadTable(name + " is shorter than its header says");
    }
    if (headerLength < kFileHeaderSize + 1) {
        return BadTable(name + " has a damaged header: it holds no column list");
    }

    std::vector<unsigned char> header(headerLength);
    if (!ReadAt(file, 0, header.data(), header.size())) {
        return errors::PathFileAccess();
    }
    // Column descriptors follow the first 32 bytes until the terminator byte.
    int fields = 0;
    unsigned widths = 0;
    for (unsigned at = kFileHeaderSize;
         at + kFieldDescriptorSize <= headerLength && header[at] != kHeaderTerminator;
         at += kFieldDescriptorSize) {
        widths += header[at + 16];
        ++fields;
    }
    const unsigned needed = kFileHeaderSize + kFieldDescriptorSize * fields + 1;
    if (headerLength < needed) {
        return BadTable(name + " has a damaged header: its length of " +
                        std::to_string(headerLength) + " bytes cannot hold its " +
                        std::to_string(fields) + " columns");
    }
    if (recordLength == 0 || recordLength != widths + 1) {
        return BadTable(name + " has a damaged header: it gives rows of " +
                        std::to_string(recordLength) + " bytes, its columns need " +
                        std::to_string(widths + 1));
    }
    if (fileSize < headerLength + static_cast<std::uint64_t>(rows) * recordLength) {
        return BadTable(name + " is shorter than its header says");
    }
    checked = {rows, fields, static_cast<int>(recordLength)};
    return std::nullopt;
}

std::string_view WithoutTrailingSpaces(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

struct DbfTable::Library {
    HookState state;
    DBFHandle handle = nullptr;

    Library() = default;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() {
        if (handle != nullptr) {
            ActiveHooks active(state);
            DBFClose(handle);
        }
        if (state.file != nullptr) {
            std::fclose(state.file);
        }
    }

    /** The last message the library reported, once. */
    std::string TakeMessage() {
        std::string message = state.messages.empty() ? std::string{} : state.messages.back();
        state.messages.clear();
        return message;
    }
};

DbfTable::DbfTable() = default;
DbfTable::~DbfTable() = default;

MaybeError DbfTable::Open(std::FILE* file, const std::string& displayName) {
    m_library = std::make_unique<Library>();
    m_displayName = displayName;
    m_fields.clear();
    m_rowCount = 0;
    m_recordLength = 0;
    m_currentRow = -1;
    m_row.clear();
    m_library->state.file = file;

    if (std::fseek(file, 0, SEEK_END) != 0) {
        return errors::PathFileAccess();
    }
    const long size = std::ftell(file);
    if (size < 0) {
        return errors::PathFileAccess();
    }
    CheckedHeader header;
    if (auto error = CheckHeader(file, static_cast<std::uint64_t>(size), displayName, header)) {
        return error;
    }
    // The library reads its header from where the file stands.
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        return errors::PathFileAccess();
    }
    m_library->state.position = 0;

    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.FOpen = HandOverFile;
    hooks.FRead = ReadBytes;
    hooks.FWrite = RefuseWrite;
    hooks.FSeek = Seek;
    hooks.FTell = Tell;
    hooks.FFlush = NoFlush;
    hooks.FClose = KeepOpen;
    hooks.Remove = RefuseRemove;
    hooks.Error = CollectMessage;

    const Error unreadable = BadTable(displayName + " could not be read as a dBASE table");
    {
        ActiveHooks active(m_library->state);
        m_library->handle = DBFOpenLL(displayName.c_str(), "rb", &hooks);
    }
    DBFHandle handle = m_library->handle;
    if (handle == nullptr) {
        return unreadable;
    }
    // The library reads the counts itself; they must be the ones just checked.
    if (DBFGetFieldCount(handle) != header.fields ||
        static_cast<std::uint32_t>(DBFGetRecordCount(handle)) != header.rows) {
        return unreadable;
    }

    int offset = 1;  // byte 0 of a row is its deleted mark
    for (int i = 0; i < header.fields; ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        DbfField field;
        DBFGetFieldInfo(handle, i, name, &field.width, &field.decimals);
        field.name = name;
        field.type = DBFGetNativeFieldType(handle, i);
        field.offset = offset;
        offset += field.width;
        m_fields.push_back(std::move(field));
    }
    if (offset != header.recordLength) {
        return unreadable;
    }
    m_rowCount = static_cast<int>(header.rows);
    m_recordLength = header.recordLength;
    return std::nullopt;
}

MaybeError DbfTable::ReadRow(int row) {
    m_currentRow = -1;
    m_row.clear();
    if (m_library == nullptr || m_library->handle == nullptr || row < 0 || row >= m_rowCount) {
        return errors::InvalidCall();
    }
    ActiveHooks active(m_library->state);
    const char* bytes = DBFReadTuple(m_library->handle, row);
    if (bytes == nullptr) {
        return errors::PathFileAccess(m_library->TakeMessage());
    }
    // The library reuses this buffer for every read; keep our own copy of the row.
    m_row.assign(bytes, static_cast<std::size_t>(m_recordLength));
    m_currentRow = row;
    return std::nullopt;
}

bool DbfTable::IsDeleted() const {
    if (m_currentRow < 0) {
        return false;
    }
    ActiveHooks active(m_library->state);
    return DBFIsRecordDeleted(m_library->handle, m_currentRow) != 0;
}

bool DbfTable::IsNull(int field) const {
    if (m_currentRow < 0 || field < 0 || field >= FieldCount()) {
        return true;
    }
    ActiveHooks active(m_library->state);
    return DBFIsAttributeNULL(m_library->handle, m_currentRow, field) != 0;
}

std::string_view DbfTable::StoredBytes(int field) const {
    if (m_currentRow < 0 || field < 0 || field >= FieldCount()) {
        return {};
    }
    const DbfField& f = Field(field);
    return std::string_view(m_row).substr(static_cast<std::size_t>(f.offset),
                                          static_cast<std::size_t>(f.width));
}

std::string DbfTable::ValueText(int field) const {
    std::string_view bytes = StoredBytes(field);
    // A zero byte ends the value, as it does for every reader of the format.
    bytes = bytes.substr(0, bytes.find('\0'));
    switch (field >= 0 && field < FieldCount() ? Field(field).type : 'C') {
        case 'N':
        case 'F':
            return std::string(TrimSpaces(bytes));
        case 'D': {
            const std::string_view date = TrimSpaces(bytes);
            if (date.size() == 8 && AllDigits(date)) {
                return std::string(date.substr(4, 2)) + "/" + std::string(date.substr(6, 2)) + "/" +
                       std::string(date.substr(0, 4));
            }
            return std::string(date);
        }
        case 'L': {
            const std::string_view mark = TrimSpaces(bytes);
            if (mark.size() == 1) {
                switch (mark[0]) {
                    case 'T':
                    case 't':
                    case 'Y':
                    case 'y':
                        return "True";
                    case 'F':
                    case 'f':
                    case 'N':
                    case 'n':
                        return "False";
                    default:
                        break;
                }
            }
            return {};  // "?" and anything else: no value
        }
        default:
            return std::string(WithoutTrailingSpaces(bytes));
    }
}

}  // namespace skedora
