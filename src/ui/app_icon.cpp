#include "ui/app_icon.h"

namespace quillet {

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/quillet/quillet-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace quillet
