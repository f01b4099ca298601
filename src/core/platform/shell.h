#pragma once

#include <string>

namespace vistrel::core {

// Hands a document or a web address to the desktop's default handler for it.
class Shell {
public:
    virtual ~Shell() = default;
    // Nothing is reported back: whether a program was found is the desktop's business.
    virtual void Open(const std::string& pathOrAddress) = 0;
};

} // namespace vistrel::core
