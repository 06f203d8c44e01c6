#pragma once
// A small view of a system registry: open a key, query one value as its type
// and raw bytes, close the key. `GetKeyValue` reads a value as text over it.
// On Windows it is the system registry; elsewhere `PathToolRegistry` answers
// the one value the program asks for, the path of a system-information tool.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tallix::app {

// A key handle: a predefined root key or a key opened below one.
using RegistryKey = std::uintptr_t;

inline constexpr RegistryKey HKeyLocalMachine = 0x80000002u;
// Query value, set value, create sub-key, enumerate sub-keys, notify, create
// link and read control.
inline constexpr std::uint32_t KeyAccessMask = 0x2003Fu;
inline constexpr std::size_t ValueBufferSize = 1024;

// Value types as the registry reports them.
inline constexpr std::uint32_t RegString = 1;
inline constexpr std::uint32_t RegDoubleWord = 4;

struct ValueQuery {
    bool ok = false;
    std::uint32_t type = 0;
    std::size_t size = 0; // bytes stored into the buffer
};

class Registry {
public:
    virtual ~Registry() = default;
    // The opened key, or nothing when it does not exist or the access is refused.
    virtual std::optional<RegistryKey> openKey(RegistryKey root, const std::string& keyName,
                                               std::uint32_t access) = 0;
    // Copies the value's bytes into `buffer`. Fails when the value does not
    // exist or does not fit the buffer.
    virtual ValueQuery queryValue(RegistryKey key, const std::string& valueName,
                                  std::span<char> buffer) = 0;
    virtual void closeKey(RegistryKey key) = 0;
};

// Reads the value `SubKeyRef` of the key `KeyName` below `KeyRoot` into
// `KeyVal`. A string value gives its text without a trailing NUL; a double
// word gives the decimal text of its little-endian value (up to the first four
// bytes); any other type leaves `KeyVal` as passed in. False, with `KeyVal`
// emptied, when the key cannot be opened, the value cannot be read or holds
// no bytes at all.
bool GetKeyValue(Registry& registry, RegistryKey KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal);

// The full path of an executable plain file named `name` in one of the folders
// of `searchPath` (folders separated by ':'), the first in order. Empty
// entries are skipped rather than read as the current folder, and a name with
// a '/' is not searched for.
std::optional<std::string> findOnPath(std::string_view name, std::string_view searchPath);

// Finds a program by name; gives its full path or nothing.
using ToolFinder = std::function<std::optional<std::string>(const std::string& name)>;

// System-information tools of the common Linux desktops, in the order tried.
const std::vector<std::string>& systemInfoTools();

// Answers the key "SOFTWARE\Microsoft\Shared Tools\MSINFO" below
// HKEY_LOCAL_MACHINE, value "PATH", with the first of `tools` that `finder`
// finds, as a string value with its terminating NUL. Every other key is
// missing.
class PathToolRegistry : public Registry {
public:
    PathToolRegistry(std::vector<std::string> tools, ToolFinder finder);

    std::optional<RegistryKey> openKey(RegistryKey root, const std::string& keyName,
                                       std::uint32_t access) override;
    ValueQuery queryValue(RegistryKey key, const std::string& valueName,
                          std::span<char> buffer) override;
    void closeKey(RegistryKey key) override;

private:
    std::vector<std::string> tools_;
    ToolFinder finder_;
};

// The platform's registry: the Windows registry on Windows, elsewhere a
// PathToolRegistry over `systemInfoTools()` and the PATH of the environment.
std::unique_ptr<Registry> systemRegistry();

} // namespace tallix::app
