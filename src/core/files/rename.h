#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vistrel::core {

// Whether name can be a file's name in a folder: not empty, not "." or "..", no separator
// of any platform and no NUL.
bool IsPlainFileName(std::string_view name);

// Renames folder/from to folder/to, refusing to replace anything that exists under the new
// name. Returns why it failed, or nothing on success.
std::optional<std::string> RenameWithoutReplacing(const std::string& folder,
                                                  const std::string& from, const std::string& to);

} // namespace vistrel::core
