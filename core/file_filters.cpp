#include "core/file_filters.h"

namespace tessera {

std::u16string PlainExtension(std::u16string_view pattern) {
  if (pattern.starts_with(u'*')) pattern.remove_prefix(1);
  if (pattern.starts_with(u'.')) pattern.remove_prefix(1);
  if (pattern.empty()) return {};
  for (char16_t c : pattern) {
    const bool alnum =
        (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
    if (!alnum) return {};
  }
  return u"." + std::u16string(pattern);
}

std::u16string TypedNameExtension(const FileDialogRequest& request, int filter_index) {
  std::u16string ext;
  if (filter_index >= 0 && filter_index < static_cast<int>(request.filters.size()))
    ext = PlainExtension(request.filters[filter_index].patterns);
  return ext.empty() ? PlainExtension(request.default_extension) : ext;
}

std::u16string ChosenSavePath(const FileDialogRequest& request, const FileDialogAnswer& answer) {
  const std::u16string& path = answer.path;
  const size_t slash = path.rfind(u'/');
  const std::u16string_view name =
      std::u16string_view(path).substr(slash == std::u16string::npos ? 0 : slash + 1);
  if (name.empty() || name.find(u'.') != std::u16string_view::npos) return path;
  return path + TypedNameExtension(request, answer.filter_index);
}

}  // namespace tessera
