#pragma once

#include <QIcon>

namespace quillet {

// The program's icon, drawn by tools/make_ui_images.cpp in every size a desktop asks for.
QIcon AppIcon();

}  // namespace quillet
