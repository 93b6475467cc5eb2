// Arbitrary text through the path rules: a root is the text's own beginning with a separator
// behind it, and a file name is the text's own end with no separator in it.
#include "fuzz/fuzz_harness.h"
#include "win/path_text.h"

void Fuzz(const std::string& input) {
    const Tessel::String path(input.c_str());
    const std::string text = path.CStr();
    const std::string root = GetPathRoot(path).CStr();
    if (!root.empty()) {
        Check(root.back() == '\\' && text.starts_with(root.substr(0, root.size() - 1)));
        Check(root.size() == 3 ? root[1] == ':' : root.find_first_not_of("\\/") == 2);
    }
    const std::string name = GetFileNamePart(path).CStr();
    Check(text.ends_with(name) && name.find_first_of("\\/") == std::string::npos);
}
