#include "platform/pe/version_resource.h"

namespace kit {
namespace {

// Every node: wLength, wValueLength, wType, then the NUL-terminated UTF-16
// key, padding to a 4-byte boundary, the value, padding, the children.
constexpr std::size_t kNodeHeaderSize = 6;
constexpr std::size_t kFixedFileInfoSize = 52;
constexpr std::uint16_t kValueIsText = 1;

std::uint16_t Word(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Dword(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(Word(p)) | (static_cast<std::uint32_t>(Word(p + 2)) << 16);
}
std::size_t Align4(std::size_t offset) { return (offset + 3) & ~static_cast<std::size_t>(3); }

struct Node {
  WString key;
  const std::uint8_t* value = nullptr;
  std::size_t value_bytes = 0;
  bool text = false;
  const std::uint8_t* children = nullptr;
  std::size_t children_bytes = 0;
};

// Reads the node at the start of [p, p + available). False when it does not
// fit or is malformed. *length receives the node's length.
bool ReadNode(const std::uint8_t* p, std::size_t available, Node* node, std::size_t* length) {
  if (available < kNodeHeaderSize) return false;
  const std::size_t total = Word(p);
  if (total < kNodeHeaderSize || total > available) return false;
  const std::size_t value_length = Word(p + 2);
  node->text = Word(p + 4) == kValueIsText;
  std::size_t offset = kNodeHeaderSize;
  node->key.clear();
  for (;;) {
    if (offset + 2 > total) return false;
    const char16_t c = Word(p + offset);
    offset += 2;
    if (c == 0) break;
    node->key.push_back(c);
  }
  offset = Align4(offset);
  // Text values count characters, binary values bytes; some writers count
  // text in bytes, so the value is cut at the node's end either way.
  std::size_t value_bytes = node->text ? value_length * 2 : value_length;
  if (offset > total) offset = total;
  if (value_bytes > total - offset) value_bytes = total - offset;
  node->value = p + offset;
  node->value_bytes = value_bytes;
  offset = Align4(offset + value_bytes);
  if (offset > total) offset = total;
  node->children = p + offset;
  node->children_bytes = total - offset;
  *length = total;
  return true;
}

// Calls `visit` for every child node; false when one is malformed.
template <typename Visit>
bool ForEachChild(const Node& parent, Visit visit) {
  std::size_t offset = 0;
  while (offset + kNodeHeaderSize <= parent.children_bytes) {
    Node child;
    std::size_t length = 0;
    if (!ReadNode(parent.children + offset, parent.children_bytes - offset, &child, &length)) return false;
    if (!visit(child)) return false;
    offset = Align4(offset + length);
  }
  return true;
}

WString TextValue(const Node& node) {
  WString text;
  for (std::size_t i = 0; i + 1 < node.value_bytes; i += 2) {
    const char16_t c = Word(node.value + i);
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

WString Lower(WString text) {
  for (auto& c : text) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  }
  return text;
}

}  // namespace

bool ParseVersionResource(const std::uint8_t* block, std::size_t size, FileVersionInfo* info) {
  Node root;
  std::size_t length = 0;
  if (block == nullptr || !ReadNode(block, size, &root, &length)) return false;
  if (root.key != u"VS_VERSION_INFO") return false;
  FileVersionInfo result;
  if (root.value_bytes >= kFixedFileInfoSize && Dword(root.value) == kFixedFileInfoSignature) {
    const std::uint32_t file_ms = Dword(root.value + 8), file_ls = Dword(root.value + 12);
    const std::uint32_t product_ms = Dword(root.value + 16), product_ls = Dword(root.value + 20);
    result.file_version = {static_cast<std::uint16_t>(file_ms >> 16), static_cast<std::uint16_t>(file_ms),
                           static_cast<std::uint16_t>(file_ls >> 16), static_cast<std::uint16_t>(file_ls)};
    result.product_version = {static_cast<std::uint16_t>(product_ms >> 16), static_cast<std::uint16_t>(product_ms),
                              static_cast<std::uint16_t>(product_ls >> 16), static_cast<std::uint16_t>(product_ls)};
  }
  const bool ok = ForEachChild(root, [&](const Node& section) {
    if (section.key == u"StringFileInfo") {
      return ForEachChild(section, [&](const Node& table) {
        auto& strings = result.strings[Lower(table.key)];
        return ForEachChild(table, [&](const Node& entry) {
          strings[entry.key] = TextValue(entry);
          return true;
        });
      });
    }
    if (section.key == u"VarFileInfo") {
      return ForEachChild(section, [&](const Node& var) {
        if (var.key != u"Translation") return true;
        for (std::size_t i = 0; i + 4 <= var.value_bytes; i += 4) {
          result.translations.push_back({Word(var.value + i), Word(var.value + i + 2)});
        }
        return true;
      });
    }
    return true;
  });
  if (!ok) return false;
  *info = std::move(result);
  return true;
}

}  // namespace kit
