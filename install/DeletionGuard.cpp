#include "install/DeletionGuard.h"

namespace {

wchar_t FoldAscii(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Upper-case ASCII, backslashes only, no trailing backslash (a root keeps its
// own: "C:\").
std::wstring Normalised(const std::wstring& path) {
    std::wstring out;
    out.reserve(path.size());
    for (const wchar_t c : path)
        out.push_back(c == L'/' ? L'\\' : FoldAscii(c));
    while (out.size() > 3 && out.back() == L'\\')
        out.pop_back();
    // A bare drive ("C:") names its root here: a protected "C:" must guard
    // what lies directly in "C:\", as "C:\" does.
    if (out.size() == 2 && out[1] == L':')
        out.push_back(L'\\');
    return out;
}

bool IsDriveLetter(wchar_t c) {
    return c >= L'A' && c <= L'Z';
}

// Length of the root ("C:\" or "\\server\share\") of a normalised absolute
// path, or 0 when the path is not absolute in one of those forms.
std::size_t RootLength(const std::wstring& path) {
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\')
        return 3;
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        // \\?\ and \\.\ name devices and bypass every rewrite: never accepted.
        if (path.size() >= 3 && (path[2] == L'?' || path[2] == L'.'))
            return 0;
        const std::size_t server = path.find(L'\\', 2);
        if (server == std::wstring::npos || server == 2)
            return 0;
        const std::size_t share = path.find(L'\\', server + 1);
        if (share == server + 1)
            return 0;
        return share == std::wstring::npos ? path.size() : share + 1;
    }
    return 0;
}

// Each step below the root must be a plain name that Windows keeps as written.
bool HasPlainSteps(const std::wstring& path, std::size_t root) {
    std::size_t start = root;
    while (start < path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        const std::wstring step = path.substr(start, end - start);
        if (step.empty() || step == L"." || step == L"..")
            return false;
        if (step.back() == L'.' || step.back() == L' ')
            return false;
        if (step.find_first_of(L":*?\"<>|") != std::wstring::npos)
            return false;
        start = end + 1;
    }
    return true;
}

// True when inner is outer or lies below it.
bool IsAtOrBelow(const std::wstring& inner, const std::wstring& outer) {
    if (outer.empty())
        return false;
    if (inner == outer)
        return true;
    const std::wstring prefix = outer.back() == L'\\' ? outer : outer + L'\\';
    return inner.size() > prefix.size() && inner.compare(0, prefix.size(), prefix) == 0;
}

std::wstring Parent(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : Normalised(path.substr(0, slash + 1));
}

} // namespace

bool IsDeletableFolder(const std::wstring& path, const ProtectedFolders& protectedFolders) {
    const std::wstring candidate = Normalised(path);
    const std::size_t root = RootLength(candidate);
    if (root == 0 || root >= candidate.size())
        return false;
    if (!HasPlainSteps(candidate, root))
        return false;
    for (const std::wstring& folder : protectedFolders.folders) {
        const std::wstring kept = Normalised(folder);
        if (!kept.empty() && IsAtOrBelow(kept, candidate))
            return false;
    }
    for (const std::wstring& tree : protectedFolders.trees) {
        const std::wstring kept = Normalised(tree);
        if (!kept.empty() && IsAtOrBelow(candidate, kept))
            return false;
    }
    const std::wstring profiles = Normalised(protectedFolders.profilesFolder);
    if (!profiles.empty() && (IsAtOrBelow(profiles, candidate) || Parent(candidate) == profiles))
        return false;
    return true;
}
