#include "core/browser/selection.h"

#include <algorithm>

namespace vistrel::core {

void Selection::replaceWith(const std::string& name) {
    ++m_revision;
    m_names.assign(1, name);
}

bool Selection::toggle(const std::string& name) {
    ++m_revision;
    const auto it = std::find(m_names.begin(), m_names.end(), name);
    if (it != m_names.end()) {
        m_names.erase(it);
        return false;
    }
    m_names.push_back(name);
    return true;
}

bool Selection::contains(const std::string& name) const {
    return std::find(m_names.begin(), m_names.end(), name) != m_names.end();
}

} // namespace vistrel::core
