#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/error.h"

namespace skedora {

/** One slot of the converted-file list. */
struct ConvertedFileEntry {
    bool InUse = false;
    std::string FileName;
    bool NotSeen = false;

    bool operator==(const ConvertedFileEntry&) const = default;
};

/**
 * The names of the files the watch-folder poll has handed to a loader, kept in "FileList.txt"
 * of the home folder. Names compare exactly, letter case included; each name is in at most one
 * slot. The list starts with 101 empty slots and grows by 100 when it is full.
 */
class ConvertedFileList {
  public:
    static constexpr int kInitialSlots = 101;
    static constexpr int kGrowth = 100;

    explicit ConvertedFileList(std::filesystem::path file);

    /** Every slot empty, kInitialSlots of them. */
    void Reset();

    /**
     * Adds every line of the file, trimmed, when not empty. A missing or unreadable file adds
     * nothing.
     */
    void LoadFileList();

    /** Rewrites the file with the names in use, in slot order, one per CR LF line. */
    MaybeError SaveFileList() const;

    /** True when a slot holds the name; that slot is then marked seen. */
    bool IsKnownFile(std::string_view name);

    /** Marks the name's slot seen, or stores the name in the lowest empty slot. Does not save. */
    void AddKnownFile(std::string_view name);

    /** Marks not seen every name in use that ends with extension (letter case ignored). */
    void MarkNotSeen(std::string_view extension);

    /** Empties every slot still marked not seen; saves when one was emptied. */
    void ForgetNotSeen();

    int SlotCount() const { return static_cast<int>(m_slots.size()); }
    const ConvertedFileEntry& Slot(int i) const { return m_slots.at(static_cast<std::size_t>(i)); }
    /** The names in use, in slot order. */
    std::vector<std::string> Names() const;
    const std::filesystem::path& File() const { return m_file; }

  private:
    std::filesystem::path m_file;
    std::vector<ConvertedFileEntry> m_slots;
};

}  // namespace skedora
