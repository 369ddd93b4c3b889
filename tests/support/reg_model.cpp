#include "tests/support/reg_model.h"

#include <algorithm>

namespace registry {

namespace {

// Collects the lines as entries.
class DocumentSink : public RegTextSink {
  public:
    explicit DocumentSink(RegDocument* doc) : doc_(doc) {}

    void Key(RegRoot root, const std::vector<std::string_view>& path, bool remove,
             int line) override {
        RegEntry entry;
        entry.kind = remove ? RegEntry::Kind::DeleteKey : RegEntry::Kind::CreateKey;
        entry.root = root;
        entry.path.assign(path.begin(), path.end());
        entry.line = line;
        current_ = entry;
        doc_->entries.push_back(std::move(entry));
    }
    void Value(std::string_view name, uint32_t type, const uint8_t* data, size_t size,
               int line) override {
        RegEntry entry = Entry(RegEntry::Kind::SetValue, name, line);
        entry.type = type;
        entry.data.assign(data, data + size);
        doc_->entries.push_back(std::move(entry));
    }
    void RemoveValue(std::string_view name, int line) override {
        doc_->entries.push_back(Entry(RegEntry::Kind::DeleteValue, name, line));
    }

  private:
    RegEntry Entry(RegEntry::Kind kind, std::string_view name, int line) const {
        RegEntry entry;
        entry.kind = kind;
        entry.root = current_.root;
        entry.path = current_.path;
        entry.valueName.assign(name);
        entry.line = line;
        return entry;
    }

    RegDocument* doc_;
    RegEntry current_;
};

void WriteKey(const RegKeyNode& key, bool isRoot, std::string* path, RegTextWriter* writer) {
    if (!isRoot || !key.Values().empty()) {
        writer->BeginKey(*path);
        for (const RegValue& v : key.Values())
            writer->Value(v.name, v.type, v.data.data(), v.data.size());
        writer->EndKey();
    }
    const size_t length = path->size();
    for (const auto& [name, child] : key.Subkeys()) {
        path->push_back('\\');
        path->append(child->Name());
        WriteKey(*child, false, path, writer);
        path->resize(length);
    }
}

}  // namespace

const RegValue* RegKeyNode::FindValue(std::string_view name) const {
    for (const RegValue& v : values_)
        if (NamesEqual(v.name, name))
            return &v;
    return nullptr;
}

void RegKeyNode::SetValue(std::string_view name, uint32_t type, std::vector<uint8_t> data) {
    for (RegValue& v : values_) {
        if (NamesEqual(v.name, name)) {
            v.type = type;
            v.data = std::move(data);
            return;
        }
    }
    values_.push_back(RegValue{std::string(name), type, std::move(data)});
}

bool RegKeyNode::RemoveValue(std::string_view name) {
    auto it = std::find_if(values_.begin(), values_.end(),
                           [&](const RegValue& v) { return NamesEqual(v.name, name); });
    if (it == values_.end())
        return false;
    values_.erase(it);
    return true;
}

RegKeyNode* RegKeyNode::FindSubkey(std::string_view name) const {
    auto it = subkeys_.find(name);
    return it == subkeys_.end() ? nullptr : it->second.get();
}

RegKeyNode* RegKeyNode::AddSubkey(std::string_view name, bool* created) {
    auto it = subkeys_.find(name);
    if (created)
        *created = it == subkeys_.end();
    if (it != subkeys_.end())
        return it->second.get();
    auto node = std::make_unique<RegKeyNode>(std::string(name), this);
    RegKeyNode* raw = node.get();
    subkeys_.emplace(std::string(name), std::move(node));
    return raw;
}

bool RegKeyNode::RemoveSubkey(std::string_view name) {
    auto it = subkeys_.find(name);
    if (it == subkeys_.end())
        return false;
    subkeys_.erase(it);
    return true;
}

std::string ParseRegText(std::string_view bytes, const std::string& fileName, RegDocument* doc) {
    doc->entries.clear();
    DocumentSink sink(doc);
    return ParseRegText(bytes, fileName, &doc->format, &sink);
}

void ApplyRegEntries(const std::vector<RegEntry>& entries, RegTree* tree) {
    // Values follow their key line, so the key just made is nearly always the one wanted.
    const RegEntry* lastKeyEntry = nullptr;
    RegKeyNode* lastKey = nullptr;
    for (const RegEntry& e : entries) {
        RegKeyNode* key = &tree->Root(e.root);
        switch (e.kind) {
            case RegEntry::Kind::CreateKey:
            case RegEntry::Kind::SetValue:
                if (lastKeyEntry && lastKeyEntry->root == e.root && lastKeyEntry->path == e.path) {
                    key = lastKey;
                } else {
                    for (const std::string& part : e.path)
                        key = key->AddSubkey(part);
                    lastKeyEntry = &e;
                    lastKey = key;
                }
                if (e.kind == RegEntry::Kind::SetValue)
                    key->SetValue(e.valueName, e.type, e.data);
                break;
            case RegEntry::Kind::DeleteKey:
                lastKeyEntry = nullptr;
                for (size_t i = 0; key && i + 1 < e.path.size(); ++i)
                    key = key->FindSubkey(e.path[i]);
                if (key)
                    key->RemoveSubkey(e.path.back());
                break;
            case RegEntry::Kind::DeleteValue:
                for (size_t i = 0; key && i < e.path.size(); ++i)
                    key = key->FindSubkey(e.path[i]);
                if (key)
                    key->RemoveValue(e.valueName);
                break;
        }
    }
}

std::string FormatRegValue(const RegValue& value, bool version5, bool wrap) {
    std::string out;
    AppendRegValue(value.name, value.type, value.data.data(), value.data.size(), version5, wrap,
                   &out);
    return out;
}

std::string WriteRegText(const RegTree& tree, const RegFileFormat& format) {
    RegTextWriter writer(format);
    std::string path;
    for (int i = 0; i < kRegRootCount; ++i) {
        path = RegRootName(static_cast<RegRoot>(i));
        WriteKey(tree.roots[i], true, &path, &writer);
    }
    return writer.Finish();
}

}  // namespace registry
