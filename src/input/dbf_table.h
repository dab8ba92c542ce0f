#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/error.h"

namespace skedora {

/** One column of a dBASE table as its header describes it. */
struct DbfField {
    std::string name;
    char type = 'C';  // C character, N numeric, F float, D date, L logical, M memo, ...
    int width = 0;
    int decimals = 0;
    int offset = 0;  // of its first byte within a stored row
};

/**
 * A dBASE table opened for reading, one row at a time. The header is checked before the table
 * library sees the file, so a damaged or foreign file ends in an error, never in a crash or a
 * silently short read.
 */
class DbfTable {
  public:
    DbfTable();
    ~DbfTable();
    DbfTable(const DbfTable&) = delete;
    DbfTable& operator=(const DbfTable&) = delete;

    /**
     * Takes a stream open for reading, which the table then owns and closes, and checks it:
     * 75 when it cannot be read, 3001 when it is not a sound dBASE table (the description names
     * the file as displayName).
     */
    MaybeError Open(std::FILE* file, const std::string& displayName);

    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    const DbfField& Field(int index) const { return m_fields.at(static_cast<std::size_t>(index)); }
    int RowCount() const { return m_rowCount; }

    /** Reads row 0..RowCount()-1; the accessors below then describe that row. */
    MaybeError ReadRow(int row);
    /** The row's own deleted mark. */
    bool IsDeleted() const;
    /** A value the table marks as missing (blank, or the type's null pattern). */
    bool IsNull(int field) const;
    /** The stored bytes of the field, pad blanks included. */
    std::string_view StoredBytes(int field) const;
    /**
     * The value as text: character values less their trailing pad blanks, numbers without
     * padding, dates as MM/DD/YYYY, logicals as "True" or "False". Bytes are not re-encoded.
     */
    std::string ValueText(int field) const;

  private:
    struct Library;
    std::unique_ptr<Library> m_library;
    std::string m_displayName;
    std::vector<DbfField> m_fields;
    int m_rowCount = 0;
    int m_recordLength = 0;
    int m_currentRow = -1;
    std::string m_row;
};

}  // namespace skedora
