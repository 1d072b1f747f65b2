#pragma once

// The window's icon: icon group 1 of the module, its images decoded with
// their masks as transparency.

#include "runtime/process.h"

#include <QIcon>
#include <QImage>

#include <vector>

class QWidget;

namespace zelk::runtime {

struct IconImage {
    QImage pixels;  // ARGB, transparent outside the drawing
    int bitCount;
};

// The group's images in the group's order. Throws FormatError (naming the
// record and the offset in it), BadDescriptor or BadAddress.
std::vector<IconImage> readIconGroup(const Process& process, std::uint32_t groupId = 1);

// Icon group 1 as a QIcon. Throws as readIconGroup.
QIcon windowIcon(const Process& process);

// Gives the window its icon; a broken icon is reported on stderr and the
// window goes on without one.
void applyWindowIcon(QWidget& window, const Process& process);

}  // namespace zelk::runtime
