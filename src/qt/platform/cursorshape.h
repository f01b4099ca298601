#pragma once

#include <Qt>

#include "core/app/geometry.h"

namespace vistrel::qt {

inline Qt::CursorShape ToShape(core::Cursor cursor) {
    switch (cursor) {
    case core::Cursor::SizeWestEast: return Qt::SizeHorCursor;
    case core::Cursor::Busy: return Qt::WaitCursor;
    case core::Cursor::SizeAll: return Qt::SizeAllCursor;
    case core::Cursor::Cross: return Qt::CrossCursor;
    default: return Qt::ArrowCursor;
    }
}

} // namespace vistrel::qt
