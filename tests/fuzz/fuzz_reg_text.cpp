// Fuzzes the .reg reader in both formats. Whatever the bytes, every way of reading them must
// agree: the whole-file parse into entries, the parse into the store's key tree, and the parse
// piece by piece in pieces of any size give the same verdict and the same keys and values. A file
// that reads cleanly is written back and must read again to the same content, in its own format
// and in the other three.
//
// The first byte chooses how the rest is fed: as raw file bytes, or as 8-bit text turned into a
// UTF-16 file (so the fuzzer can reach the UTF-16 reader with well-formed text too); the second
// byte is the piece size of the piecewise read.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "registry/key_tree.h"
#include "registry/reg_text.h"
#include "tests/support/reg_model.h"

namespace {

using registry::KeyTree;
using registry::RegFileFormat;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    std::abort();
}

std::string Utf16File(std::string_view text) {
    std::string out("\xFF\xFE", 2);
    for (char c : text) {
        const char16_t u = registry::Cp1252ToUnicode(static_cast<uint8_t>(c));
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

class PieceSource : public registry::RegTextSource {
  public:
    PieceSource(std::string_view bytes, size_t piece) : bytes_(bytes), piece_(piece) {}
    size_t Read(char* buffer, size_t size) override {
        const size_t n = std::min({size, piece_, bytes_.size() - offset_});
        std::copy_n(bytes_.data() + offset_, n, buffer);
        offset_ += n;
        return n;
    }
    size_t SizeHint() const override { return bytes_.size(); }

  private:
    std::string_view bytes_;
    size_t piece_;
    size_t offset_ = 0;
};

// Every key and value with its type and bytes, in a form that shows any difference.
void Dump(const KeyTree& tree, KeyTree::Node node, std::string* out) {
    out->append("[").append(tree.Name(node)).append("]\n");
    for (size_t i = 0; i < tree.ValueCount(node); ++i) {
        const KeyTree::ValueView v = tree.ValueAt(node, i);
        out->append(v.name).append("=").append(std::to_string(v.type)).append(":");
        out->append(reinterpret_cast<const char*>(v.data), v.size).append("\n");
    }
    for (size_t i = 0; i < tree.SubkeyCount(node); ++i)
        Dump(tree, tree.SubkeyAt(node, i), out);
    out->append("]\n");
}

std::string Dump(const KeyTree& tree) {
    std::string out;
    for (int r = 0; r < registry::kRegRootCount; ++r)
        Dump(tree, KeyTree::Root(static_cast<registry::RegRoot>(r)), &out);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string bytes = (data[0] & 1) ? Utf16File(rest) : std::string(rest);
    const size_t piece = 1 + data[1] * 7u;

    registry::RegDocument doc;
    const std::string docError = registry::ParseRegText(bytes, "f.reg", &doc);
    KeyTree tree;
    RegFileFormat format;
    const std::string treeError = registry::ParseRegText(bytes, "f.reg", &tree, &format);
    KeyTree pieceTree;
    RegFileFormat pieceFormat;
    PieceSource source(bytes, piece);
    const std::string pieceError =
        registry::ParseRegText(&source, "f.reg", &pieceTree, &pieceFormat);
    if (docError != treeError || treeError != pieceError)
        Fail("the readers disagree", docError + "\n" + treeError + "\n" + pieceError);
    if (!treeError.empty()) {
        if (treeError.compare(0, 5, "f.reg") != 0)
            Fail("an error that does not name the file", treeError);
        return 0;
    }
    const std::string content = Dump(tree);
    if (Dump(pieceTree) != content || !(pieceFormat == format))
        Fail("the piecewise read differs", content + "\n---\n" + Dump(pieceTree));

    // The portable model of the same entries writes the same bytes.
    auto model = std::make_unique<registry::RegTree>();
    registry::ApplyRegEntries(doc.entries, model.get());
    const std::string written = registry::WriteRegText(tree, format);
    if (registry::WriteRegText(*model, format) != written)
        Fail("the key tree and the model write different files", content);

    for (int f = 0; f < 4; ++f) {
        const RegFileFormat other{(f & 1) != 0, (f & 2) != 0};
        const std::string again = f == 0 ? written : registry::WriteRegText(tree, other);
        KeyTree back;
        RegFileFormat backFormat;
        const std::string err = registry::ParseRegText(again, "w.reg", &back, &backFormat);
        if (!err.empty())
            Fail("a written file does not read back", err + "\n" + again);
        if (Dump(back) != content)
            Fail("a written file reads back different", content + "\n---\n" + Dump(back));
    }
    return 0;
}
