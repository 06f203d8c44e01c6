#include "app/registry.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace tallix::app {

namespace {

// A double word is stored little-endian; the bytes past the fourth, which a
// double word never has, are not looked at.
std::string doubleWordText(std::string_view bytes) {
    std::uint32_t value = 0;
    const std::size_t n = bytes.size() < 4 ? bytes.size() : 4;
    for (std::size_t i = n; i > 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i - 1]);
    return std::to_string(value);
}

} // namespace

bool GetKeyValue(Registry& registry, RegistryKey KeyRoot, const std::string& KeyName,
                 const std::string& SubKeyRef, std::string& KeyVal) {
    const std::optional<RegistryKey> key = registry.openKey(KeyRoot, KeyName, KeyAccessMask);
    if (!key) {
        KeyVal.clear();
        return false;
    }
    std::array<char, ValueBufferSize> buffer{};
    const ValueQuery query = registry.queryValue(*key, SubKeyRef, buffer);
    // A value without any bytes has no last byte to look at: a failure too.
    if (!query.ok || query.size == 0 || query.size > buffer.size()) {
        KeyVal.clear();
        registry.closeKey(*key);
        return false;
    }
    std::string_view text(buffer.data(), query.size);
    if (text.back() == '\0')
        text.remove_suffix(1);
    if (query.type == RegString)
        KeyVal.assign(text);
    else if (query.type == RegDoubleWord)
        KeyVal = doubleWordText(text);
    registry.closeKey(*key);
    return true;
}

std::optional<std::string> findOnPath(std::string_view name, std::string_view searchPath) {
    namespace fs = std::filesystem;
    if (name.empty() || name.find('/') != std::string_view::npos)
        return std::nullopt;
    constexpr fs::perms anyExec =
        fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string_view::npos)
            end = searchPath.size();
        const std::string_view folder = searchPath.substr(start, end - start);
        if (!folder.empty()) {
            const fs::path candidate = fs::path(std::string(folder)) / std::string(name);
            std::error_code ec;
            const fs::file_status status = fs::status(candidate, ec);
            if (!ec && fs::is_regular_file(status) &&
                (status.permissions() & anyExec) != fs::perms::none)
                return candidate.string();
        }
        start = end + 1;
    }
    return std::nullopt;
}

const std::vector<std::string>& systemInfoTools() {
    static const std::vector<std::string> tools = {"hardinfo", "gnome-system-monitor",
                                                   "kinfocenter", "mate-system-monitor",
                                                   "xfce4-taskmanager"};
    return tools;
}

namespace {

constexpr const char* ToolKeyName = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* ToolValueName = "PATH";
constexpr RegistryKey ToolKey = 1;

} // namespace

PathToolRegistry::PathToolRegistry(std::vector<std::string> tools, ToolFinder finder)
    : tools_(std::move(tools)), finder_(std::move(finder)) {}

std::optional<RegistryKey> PathToolRegistry::openKey(RegistryKey root, const std::string& keyName,
                                                     std::uint32_t /*access*/) {
    if (root != HKeyLocalMachine || keyName != ToolKeyName)
        return std::nullopt;
    return ToolKey;
}

ValueQuery PathToolRegistry::queryValue(RegistryKey key, const std::string& valueName,
                                        std::span<char> buffer) {
    if (key != ToolKey || valueName != ToolValueName)
        return {};
    for (const std::string& tool : tools_) {
        const std::optional<std::string> path = finder_(tool);
        if (!path)
            continue;
        // Stored as a string value is: with its terminating NUL.
        const std::size_t size = path->size() + 1;
        if (size > buffer.size())
            return {};
        path->copy(buffer.data(), path->size());
        buffer[path->size()] = '\0';
        return {true, RegString, size};
    }
    return {};
}

void PathToolRegistry::closeKey(RegistryKey /*key*/) {}

#ifdef _WIN32

namespace {

class WindowsRegistry : public Registry {
public:
    std::optional<RegistryKey> openKey(RegistryKey root, const std::string& keyName,
                                       std::uint32_t access) override {
        HKEY opened = nullptr;
        if (RegOpenKeyExA(handle(root), keyName.c_str(), 0, access, &opened) != ERROR_SUCCESS)
            return std::nullopt;
        return reinterpret_cast<RegistryKey>(opened);
    }
    ValueQuery queryValue(RegistryKey key, const std::string& valueName,
                          std::span<char> buffer) override {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(buffer.size());
        if (RegQueryValueExA(handle(key), valueName.c_str(), nullptr, &type,
                             reinterpret_cast<LPBYTE>(buffer.data()), &size) != ERROR_SUCCESS)
            return {};
        return {true, static_cast<std::uint32_t>(type), static_cast<std::size_t>(size)};
    }
    void closeKey(RegistryKey key) override { RegCloseKey(handle(key)); }

private:
    // The predefined root is sign-extended on 64-bit Windows; keep the
    // system's own constant for it.
    static HKEY handle(RegistryKey key) {
        return key == HKeyLocalMachine ? HKEY_LOCAL_MACHINE : reinterpret_cast<HKEY>(key);
    }
};

} // namespace

std::unique_ptr<Registry> systemRegistry() {
    return std::make_unique<WindowsRegistry>();
}

#else

std::unique_ptr<Registry> systemRegistry() {
    return std::make_unique<PathToolRegistry>(systemInfoTools(), [](const std::string& name) {
        const char* path = std::getenv("PATH");
        return findOnPath(name, path ? path : "");
    });
}

#endif

} // namespace tallix::app
