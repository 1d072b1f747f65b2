#pragma once

#include <chrono>
#include <memory>

class QApplication;

namespace zelk::runtime {

// How long the window system has to answer before the program gives up on it.
inline constexpr std::chrono::seconds kDisplayAnswerLimit{15};

// The pictures are drawn in 24-bit colour; on a screen with fewer bits per
// pixel than this, Qt has nothing to paint them with and the window stays black.
inline constexpr int kLeastColourBits = 15;

// The application object on a window system that the form's window can use.
// One that cannot be reached, does not answer within kDisplayAnswerLimit or
// has too few colours is reported in one line on stderr, and the process ends
// with exit code 2.
std::unique_ptr<QApplication> openDisplay();

}  // namespace zelk::runtime
