#pragma once

// A form of the bench's own for the program's handlers, whose pictures pass
// every put on to the window's own pictures and time it; beside each put they
// repaint the rectangles it changed straight on the window and time that too:
// what a put costs, against the repaint it has to make, on the same pixels in
// the same state.

#include "thread_cpu_time.h"

#include "program/form1.h"
#include "runtime/form_window.h"
#include "runtime/image_control.h"

#include <QRegion>

#include <cstddef>
#include <utility>
#include <vector>

namespace zelk::bench {

struct PutCosts {
    double puts = 0, repaints = 0;  // thread processor seconds
};

class TimedPicture final : public runtime_interface::ImageControlInterface {
public:
    TimedPicture(runtime::ImageControl& picture, runtime::FormWindow& window, PutCosts& costs)
        : picture_(picture), window_(window), costs_(costs) {}

    std::uint32_t AddRef() override { return picture_.AddRef(); }
    std::uint32_t Release() override { return picture_.Release(); }
    std::int32_t putVisible(std::int16_t value) override {
        return timed([&] { return picture_.putVisible(value); });
    }
    std::int32_t putLeft(float twips) override {
        return timed([&] { return picture_.putLeft(twips); });
    }

private:
    // The put is made once untimed, so that the timed put and the repaint
    // both find the same pixels and code warm: after a pause, what the caches
    // still hold depends on what else the machine ran. Then, every other put
    // in turn, the repaint is timed first, or the put taken back and made
    // again first, so neither always follows the other.
    template <class Put>
    std::int32_t timed(Put&& put) {
        const runtime::PixelRect before = picture_.box();
        const bool wasVisible = picture_.visible();
        const double left = picture_.leftTwips();
        put();
        std::int32_t status = 0;
        const auto timedRepaint = [&] {
            costs_.repaints += threadCpuSecondsOf([&] { repaintChange(before, wasVisible); });
        };
        if (repaintFirst_) timedRepaint();
        picture_.putVisible(wasVisible ? runtime_interface::kTrue : runtime_interface::kFalse);
        picture_.putLeft(float(left));
        costs_.puts += threadCpuSecondsOf([&] { status = put(); });
        if (!repaintFirst_) timedRepaint();
        repaintFirst_ = !repaintFirst_;
        return status;
    }

    // The least a put must do on screen: repaint where the picture was and
    // where it is, if it shows in either and anything changed.
    void repaintChange(runtime::PixelRect before, bool wasVisible) {
        const runtime::PixelRect after = picture_.box();
        if (wasVisible == picture_.visible() && before == after) return;
        QRegion changed;
        if (wasVisible) changed += QRect(before.x, before.y, before.width, before.height);
        if (picture_.visible()) changed += QRect(after.x, after.y, after.width, after.height);
        if (!changed.isEmpty()) window_.repaint(changed);
    }

    runtime::ImageControl& picture_;
    runtime::FormWindow& window_;
    PutCosts& costs_;
    bool repaintFirst_ = false;
};

class TimedPutForm {
public:
    TimedPutForm(runtime::FormInstance& shown, runtime::FormWindow& window) {
        for (const auto& picture : shown.images()) pictures_.emplace_back(*picture, window, costs_);
        interface_.AddRef = [](void*) -> std::uint32_t { return 2; };
        interface_.Release = [](void*) -> std::uint32_t { return 1; };
        const auto setAccessors = [this]<std::size_t... Slots>(std::index_sequence<Slots...>) {
            ((interface_.imageAccessors[Slots] = &accessor<Slots>), ...);
        };
        setAccessors(std::make_index_sequence<runtime_interface::kMaxImageAccessors>{});
        form_.interfaceTable = &interface_;
        form_.runtimeState.owner = this;
    }
    TimedPutForm(const TimedPutForm&) = delete;
    TimedPutForm& operator=(const TimedPutForm&) = delete;

    program::Form1& form() { return form_; }

    // What the puts of one run cost, from the last call on.
    PutCosts takeCosts() { return std::exchange(costs_, {}); }

private:
    template <std::size_t Slot>
    static runtime_interface::ImageControlInterface* accessor(void* form) {
        TimedPicture& picture =
            static_cast<TimedPutForm*>(static_cast<program::Form1*>(form)->runtimeState.owner)->pictures_.at(Slot);
        picture.AddRef();
        return &picture;
    }

    PutCosts costs_;
    std::vector<TimedPicture> pictures_;
    runtime_interface::FormInterface interface_{};
    program::Form1 form_{};
};

}  // namespace zelk::bench
