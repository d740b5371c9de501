#include "storage/links.hpp"

#include "platform/link_opener.hpp"
#include "storage/file_bytes.hpp"
#include "storage/score_server.hpp"
#include "storage/text_file_reader.hpp"

#include <algorithm>
#include <cctype>

namespace vantorel {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsWebAddress(const std::string& address) {
    const std::string lower = Lower(address);
    size_t hostStart = 0;
    if (lower.starts_with("http://"))
        hostStart = 7;
    else if (lower.starts_with("https://"))
        hostStart = 8;
    else
        return false;
    if (hostStart >= address.size() || address[hostStart] == '/')
        return false;
    return std::none_of(address.begin(), address.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u <= 32 || u == 127;
    });
}

} // namespace

void OpenMakerSite(ILinkOpener& opener) {
    opener.Open(MakerHomePage);
}

void OpenWorldTable(ILinkOpener& opener, const TScoreServer& server) {
    opener.Open(server.WorldTableUrl());
}

std::optional<std::string> ExitLinkAddress(const std::string& linkFileBytes) {
    TTextFileReader reader(linkFileBytes);
    bool inShortcut = true; // keys before any section header count
    while (auto line = reader.ReadLine()) {
        const std::string trimmed = Trim(*line);
        if (trimmed.starts_with("[")) {
            inShortcut = Lower(trimmed) == "[internetshortcut]";
            continue;
        }
        if (!inShortcut)
            continue;
        const size_t equals = trimmed.find('=');
        if (equals == std::string::npos || Lower(Trim(trimmed.substr(0, equals))) != "url")
            continue;
        const std::string address = Trim(trimmed.substr(equals + 1));
        if (IsWebAddress(address))
            return address;
        return std::nullopt;
    }
    return std::nullopt;
}

bool OpenExitLink(ILinkOpener& opener, const std::filesystem::path& path) {
    const TFileBytes file = ReadFileBytes(path, 64 * 1024);
    if (file.Status != TFileReadStatus::Read)
        return false;
    const auto address = ExitLinkAddress(file.Bytes);
    if (!address)
        return false;
    opener.Open(*address);
    return true;
}

} // namespace vantorel
