#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <queue>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/error.h"
#include "os/file_system.h"

namespace skedora {

/**
 * The names of the files the watch folder has handed to a job, kept in "FileList.txt" of the
 * home folder. Names compare exactly, letter case included, and each is held once. Every name
 * has a place in the saved order; a forgotten name's place goes to the next new name.
 *
 * Look-up, adding and forgetting cost constant time per name. A pass over one kind of file
 * (MarkNotSeen, IsKnownFile for each listed file, ForgetNotSeen) costs nothing per name it does
 * not meet unless names have to be forgotten.
 */
class ConvertedFileList {
  public:
    explicit ConvertedFileList(std::filesystem::path file);

    /** Empties the list. */
    void Reset();

    /**
     * Adds every line of the file, trimmed, when not empty. A missing file adds nothing. A file
     * that exists but cannot be read adds nothing and is reported.
     */
    MaybeError LoadFileList();

    /** Rewrites the file with the names in their order, one per CR LF line. */
    MaybeError SaveFileList() const;

    /** True when the list holds the name; the name then counts as seen in the current pass. */
    bool IsKnownFile(std::string_view name);

    static constexpr std::uint32_t kNotHeld = UINT32_MAX;
    /**
     * The place of each entry's name, or kNotHeld, for MarkPlaceSeen while no name is added or
     * forgotten. The look-ups are made side by side, so a long listing does not wait on memory
     * one name at a time.
     */
    void PlacesOf(std::span<const FolderName> entries, std::vector<std::uint32_t>& places) const;
    /** IsKnownFile for the name held at place, without looking the name up. */
    void MarkPlaceSeen(std::uint32_t place) { MarkSeen(m_places[place]); }

    /** Marks the name seen, or adds it in the first free place. Does not save. */
    void AddKnownFile(std::string_view name);

    /**
     * Starts a pass over the names ending with extension (a dot and what follows, as ".DBF";
     * letter case ignored): all of them count as not seen. Marks of an earlier pass that never
     * reached ForgetNotSeen are dropped.
     */
    void MarkNotSeen(std::string_view extension);

    /**
     * Ends the pass: drops the names it marked and did not meet, and saves when one was
     * dropped. A failed save leaves the file as it was; the list in memory still counts.
     */
    MaybeError ForgetNotSeen();

    /** The names in their saved order. */
    std::vector<std::string> Names() const;
    std::size_t Size() const { return m_held; }
    const std::filesystem::path& File() const { return m_file; }

  private:
    struct Place {
        std::string name;
        bool held = false;
        std::uint32_t kind = 0;        // index into m_kindCounts
        std::uint64_t seenInPass = 0;  // the pass that last met the name
    };

    // The index is open addressing with linear probing: a slot holds the name's 32-bit hash in
    // its upper half and its place + 1 in the lower half; 0 is an empty slot. A table of flat
    // slots costs one memory read a look-up, where a table of linked nodes costs three.
    static std::uint32_t HashOf(std::string_view name);
    static std::uint32_t PlaceIn(std::uint64_t slot) {
        return static_cast<std::uint32_t>(slot) - 1;
    }
    static std::uint32_t HashIn(std::uint64_t slot) {
        return static_cast<std::uint32_t>(slot >> 32);
    }
    /** The place of name, or kNotHeld. */
    std::uint32_t Find(std::string_view name, std::uint32_t hash) const;
    /** The slot holding name, or m_slots.size(). */
    std::size_t FindSlot(std::string_view name, std::uint32_t hash) const;
    void Insert(std::uint32_t place, std::uint32_t hash);
    void EraseSlot(std::size_t slot);

    std::uint32_t KindOf(std::string_view name);
    void MarkSeen(Place& place);

    std::filesystem::path m_file;
    std::vector<std::uint64_t> m_slots;  // a power of two long, at most half full
    std::size_t m_held = 0;
    std::vector<Place> m_places;
    std::priority_queue<std::uint32_t, std::vector<std::uint32_t>, std::greater<>> m_freePlaces;
    std::vector<std::string> m_kinds;       // upper-case extensions, ".DBF"
    std::vector<std::size_t> m_kindCounts;  // names held per kind
    std::uint64_t m_pass = 0;
    bool m_passOpen = false;
    std::uint32_t m_passKind = 0;
    std::size_t m_seenInPass = 0;  // names of the pass's kind met since MarkNotSeen
};

}  // namespace skedora
