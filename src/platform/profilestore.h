// SPDX-License-Identifier: MIT
// The per-user settings store: keys named by "/"-separated paths, each holding named values that are
// either text or 32-bit whole numbers. Key paths and value names compare without regard to ASCII case.
//
// The store is one text file (see DefaultLocation). Every operation reads the file afresh, so several
// stores on one file see each other's writes; every write replaces the file atomically (a temporary file
// in the same folder, flushed to disk, then renamed over the old one), so a crash leaves either the old or
// the new content. A damaged file never stops the program: lines that cannot be read are skipped.
// A settings file that is a link of the user's own is kept a link: the file it leads to is replaced, in
// that file's folder. The replaced file keeps its mode, and one the user made read-only (no owner write
// bit) is never rewritten, even by root.
//
// Thread-safety: none; the program uses its store from the user-interface thread only.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace aw {

class ProfileStore {
public:
    enum class Type { Text, Number };

    struct Value {
        Type type = Type::Text;
        std::string text;        // with Type::Text
        std::int32_t number = 0; // with Type::Number
        // The size the value occupies, the terminating zero of a text included.
        std::size_t size() const { return type == Type::Text ? text.size() + 1 : 4; }
    };

    // A store on `file`; an empty name stands for DefaultLocation().
    explicit ProfileStore(std::string file = {});

    // $ALBUMWRIGHT_SETTINGS when set and not empty, else $XDG_CONFIG_HOME (when absolute) or
    // ~/.config, followed by "/albumwright/settings".
    static std::string DefaultLocation();

    const std::string& file() const { return file_; }

    // True when the key or a key below it exists.
    bool KeyExists(const std::string& keyPath) const;
    // Creates the key (without values) when missing; false when the store cannot be written.
    bool CreateKey(const std::string& keyPath);

    // Nothing when the key or the value is missing.
    std::optional<Value> Read(const std::string& keyPath, const std::string& name) const;

    // Create the key when missing and set the value; false (and the file unchanged) when it cannot be saved.
    bool WriteText(const std::string& keyPath, const std::string& name, const std::string& text);
    bool WriteNumber(const std::string& keyPath, const std::string& name, std::int32_t number);

    struct NamedValue {
        std::string name;
        Value value;
    };
    // Several values of one key in one read and one atomic save: all of them are stored or none.
    bool WriteValues(const std::string& keyPath, const std::vector<NamedValue>& values);

    // A write was refused because the file is read-only (set by the refusal, never cleared).
    bool refusedReadOnly() const { return readOnly_; }

    // "Software/A/B" and "software\\a\\b/" name the same key: separators "/" or "\", empty components
    // dropped, ASCII lower case.
    static std::string NormaliseKey(const std::string& keyPath);

private:
    struct Key {
        std::string displayPath;                  // as first written
        std::map<std::string, std::string> names; // lower-case name -> name as written
        std::map<std::string, Value> values;      // lower-case name -> value
    };
    using Content = std::map<std::string, Key>; // normalised key path -> key

    // Nothing when the file exists but cannot be read whole; an empty content when it does not exist.
    std::optional<Content> Load() const;
    static std::string DisplayKey(const std::string& keyPath); // NormaliseKey with the case kept
    bool Save(const Content& content) const;
    bool Write(const std::string& keyPath, const std::string& name, const Value& value);

    std::string file_;
    mutable bool readOnly_ = false;
};

} // namespace aw
