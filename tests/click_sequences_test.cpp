// The slide and the gallop against recording picture controls: the puts and
// pauses in order, the references held, and the way out after a failed put.
#include "test_support.h"

#include "runtime/exports.h"
#include "runtime/start_up.h"
#include "runtime_interface/exception_chain.h"
#include "program/click_handlers.h"
#include "program/form1.h"
#include "program/handler_frame.h"

#include <functional>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelk::tests {
namespace {

using runtime_interface::ExceptionDisposition;
using runtime_interface::FormInterface;
using runtime_interface::HandlerFrameRecord;
using runtime_interface::ImageControlInterface;
using runtime_interface::RaisedError;
using runtime_interface::kImageControlInterfaceId;
using runtime_interface::registrationHead;
using formats::Guid;

enum class Op { Visible, Left, Pause };

struct Event {
    Op op;
    int picture;  // 1..3 for Img1..Img3
    float value;
    friend bool operator==(const Event&, const Event&) = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e) {
    if (e.op == Op::Pause) return os << "pause";
    return os << (e.op == Op::Visible ? "Visible" : "Left") << " Img" << e.picture << " = " << e.value;
}

struct Recording;

class RecordingControl final : public ImageControlInterface {
public:
    RecordingControl(Recording& rec, int picture) : rec_(rec), picture_(picture) {}
    std::uint32_t AddRef() override { return ++references; }
    std::uint32_t Release() override { return --references; }
    std::int32_t putVisible(std::int16_t v) override;
    std::int32_t putLeft(float twips) override;

    std::uint32_t references = 1;

private:
    Recording& rec_;
    int picture_;
};

// A stand-in for the runtime's form: the program's fields, recording pictures.
struct Recording {
    program::Form1 form{};
    FormInterface interface{};
    std::uint32_t formReferences = 1;
    RecordingControl img1{*this, 1}, img2{*this, 2}, img3{*this, 3};
    std::int32_t pauseLimit = 0;
    std::vector<Event> events;
    std::string violations;
    std::optional<std::size_t> failAtPut;  // index among the puts
    std::int32_t status = 0;               // returned by every put, or by the failing one
    std::function<void()> throwAtFailingPut;  // instead of returning the status
    int heldAtExit = -1;                   // what the frame still held when the form was released

    Recording() {
        interface.AddRef = [](void* f) { return ++owner(f).formReferences; };
        interface.Release = [](void* f) {
            Recording& r = owner(f);
            r.checkFrameIsEmpty();
            return --r.formReferences;
        };
        interface.imageAccessors[program::kAccessImg3] = [](void* f) -> ImageControlInterface* { return owner(f).take(owner(f).img3); };
        interface.imageAccessors[program::kAccessImg2] = [](void* f) -> ImageControlInterface* { return owner(f).take(owner(f).img2); };
        interface.imageAccessors[program::kAccessImg1] = [](void* f) -> ImageControlInterface* { return owner(f).take(owner(f).img1); };
        form.interfaceTable = &interface;
        form.runtimeState.owner = this;
        form.PauseCount = 777;  // a pause starts from 1 whatever it finds
    }
    static Recording& owner(void* f) { return *static_cast<Recording*>(static_cast<program::Form1*>(f)->runtimeState.owner); }

    int heldControls() const { return int(img1.references + img2.references + img3.references) - 3; }

    ImageControlInterface* take(RecordingControl& c) {
        if (heldControls() != 0) violations += "a control was still held when the next was taken\n";
        c.AddRef();
        return &c;
    }

    std::int32_t put(Op op, int picture, float value) {
        notePause();
        const std::size_t index = puts();
        events.push_back({op, picture, value});
        if (heldControls() != 1) violations += "a put ran without exactly one control held\n";
        if (formReferences != 2) violations += "the handler did not hold the form during a put\n";
        if (failAtPut && index == *failAtPut && throwAtFailingPut) throwAtFailingPut();
        if (failAtPut) return index == *failAtPut ? status : 0;
        return status;
    }

    void notePause() {
        if (form.PauseCount == pauseLimit + 1) events.push_back({Op::Pause, 0, 0});
        else if (form.PauseCount != 0 && form.PauseCount != 777) violations += "a pause ended at the wrong count\n";
        form.PauseCount = 0;
    }

    std::size_t puts() const {
        return std::size_t(std::count_if(events.begin(), events.end(), [](const Event& e) { return e.op != Op::Pause; }));
    }

    void checkFrameIsEmpty() {
        auto* locals = static_cast<program::HandlerLocals*>(registrationHead->stackPosition);
        heldAtExit = (locals->objectTemporary != nullptr) + (locals->hiddenEnd.type != runtime_interface::VariantType::Empty) +
                     (locals->hiddenStep.type != runtime_interface::VariantType::Empty);
        if (pauseLimit == 50000000) heldAtExit += static_cast<program::GallopLocals*>(locals)->sum.type != runtime_interface::VariantType::Empty;
    }

    std::uintptr_t reference(bool asEvent) const { return reinterpret_cast<std::uintptr_t>(&form) | (asEvent ? 1 : 0); }
};

std::int32_t RecordingControl::putVisible(std::int16_t v) { return rec_.put(Op::Visible, picture_, v); }
std::int32_t RecordingControl::putLeft(float twips) { return rec_.put(Op::Left, picture_, twips); }

// What each handler must do, as tables.
std::vector<Event> expectedSlide() {
    std::vector<Event> e = {{Op::Visible, 1, -1}, {Op::Visible, 2, 0}, {Op::Visible, 3, 0}};
    for (int step = 0; step < 21; ++step) {
        e.push_back({Op::Left, 1, float(400 * step)});
        e.push_back({Op::Pause, 0, 0});
    }
    return e;
}

struct GallopOp {
    Op op;
    int picture;
    int value;  // Visible: the flag; Left: offset from MovePos
};

const GallopOp kGallopStep[] = {
    {Op::Visible, 1, -1}, {Op::Visible, 2, 0}, {Op::Visible, 3, 0},  {Op::Left, 1, 0},   {Op::Pause, 0, 0},
    {Op::Visible, 1, 0},  {Op::Visible, 2, -1}, {Op::Left, 2, 100},   {Op::Pause, 0, 0},
    {Op::Visible, 1, 0},  {Op::Visible, 2, 0}, {Op::Visible, 3, -1}, {Op::Left, 3, 200}, {Op::Pause, 0, 0},
};

std::vector<Event> expectedGallop() {
    std::vector<Event> e;
    for (int step = 0; step < 21; ++step)
        for (const GallopOp& g : kGallopStep)
            e.push_back({g.op, g.picture, g.op == Op::Left ? float(400 * step + g.value) : float(g.value)});
    return e;
}

struct Handler {
    const char* name;
    std::int32_t (*run)(std::uintptr_t);
    std::int32_t pauseLimit;
    std::vector<Event> (*expected)();
};

void PrintTo(const Handler& h, std::ostream* os) { *os << h.name; }

const Handler kSlide{"Command1_Click", program::Command1_Click, 20000000, expectedSlide};
const Handler kGallop{"Command2_Click", program::Command2_Click, 50000000, expectedGallop};

std::int32_t runHandler(Recording& rec, const Handler& h, bool asEvent) {
    rec.pauseLimit = h.pauseLimit;
    const std::int32_t status = h.run(rec.reference(asEvent));
    rec.notePause();
    return status;
}

class ClickSequence : public testing::TestWithParam<Handler> {
protected:
    void SetUp() override { process(); }
};

TEST_P(ClickSequence, MakesItsPutsAndPausesInOrderAndLeavesNothingHeld) {
    const Handler& h = GetParam();
    Recording rec;
    EXPECT_EQ(runHandler(rec, h, true), 0);
    EXPECT_EQ(rec.events, h.expected());
    EXPECT_EQ(rec.violations, "");
    EXPECT_EQ(rec.formReferences, 1u) << "AddRef on entry, Release on the way out";
    EXPECT_EQ(rec.heldAtExit, 0) << "object temporary, sum and loop pair empty at the exit";
    EXPECT_EQ(rec.heldControls(), 0);
    EXPECT_EQ(registrationHead, nullptr) << "the frame took its registration off";
    EXPECT_EQ(rec.form.MovePos.type, runtime_interface::VariantType::Integer16);
    EXPECT_EQ(rec.form.MovePos.integer16, 8400);
}

TEST_P(ClickSequence, RunsTheSameWithoutTheEventMarkAndCountsSuccessByTheSign) {
    const Handler& h = GetParam();
    Recording rec;
    rec.status = 1;  // positive statuses are success
    static int checks;
    checks = 0;
    ImportSpy<formats::Import::__vbaHresultCheckObj> spy(
        [](std::int32_t, ImageControlInterface*, const Guid*, std::int32_t) { ++checks; });
    EXPECT_EQ(runHandler(rec, h, false), 0);
    EXPECT_EQ(rec.events, h.expected());
    EXPECT_EQ(checks, 0);
}

INSTANTIATE_TEST_SUITE_P(Handlers, ClickSequence, testing::Values(kSlide, kGallop),
                         [](const auto& info) { return std::string(info.param.name); });

struct Failure {
    const char* name;
    const Handler* handler;
    std::size_t failingPut;
    int picture;
    std::int32_t slot;
};

void PrintTo(const Failure& f, std::ostream* os) { *os << f.name; }

const Failure kFailures[] = {
    {"slide_visible", &kSlide, 0, 1, 140},
    {"slide_left", &kSlide, 5, 1, 100},
    {"gallop_phase1_visible", &kGallop, 1, 2, 140},
    {"gallop_phase1_left", &kGallop, 3, 1, 100},
    {"gallop_phase2_visible", &kGallop, 5, 2, 140},
    {"gallop_phase2_offset_left", &kGallop, 6, 2, 100},
    {"gallop_phase3_visible", &kGallop, 9, 3, 140},
    {"gallop_phase3_offset_left", &kGallop, 10, 3, 100},
};

struct CheckCall {
    std::int32_t status;
    ImageControlInterface* control;
    Guid interfaceId;
    std::int32_t slot;
};
std::vector<CheckCall> checkCalls;

// The runtime's form, for the method roads it followed at start-up; the calls
// below go along them to a recording stand-in instead of the form itself.
runtime::FormInstance& startedForm() {
    static const auto project = runtime::startProject(process(), image_symbols::kProjectHeader);
    return *project->form;
}

class FailedPut : public testing::TestWithParam<Failure> {};

TEST_P(FailedPut, EndsTheRunThroughTheCleanUpsAndReportsTheError) {
    const Failure& f = GetParam();
    Recording rec;
    rec.pauseLimit = f.handler->pauseLimit;
    rec.failAtPut = f.failingPut;
    rec.status = std::int32_t(0x800A017C);  // run-time error 380

    checkCalls.clear();
    ImportSpy<formats::Import::__vbaHresultCheckObj> spy(
        [](std::int32_t status, ImageControlInterface* control, const Guid* interfaceId, std::int32_t slot) {
            checkCalls.push_back({status, control, *interfaceId, slot});
            runtime::__vbaHresultCheckObj(status, control, interfaceId, slot);
        });
    std::optional<RaisedError> reported;
    process().setErrorSink([&](const RaisedError& e) { reported = e; });

    startedForm().callMethod(f.handler == &kSlide ? 0 : 1, rec.reference(true));
    process().setErrorSink(nullptr);

    ASSERT_EQ(checkCalls.size(), 1u);
    EXPECT_EQ(checkCalls[0].status, rec.status);
    RecordingControl* controls[] = {&rec.img1, &rec.img2, &rec.img3};
    EXPECT_EQ(checkCalls[0].control, controls[f.picture - 1]);
    EXPECT_EQ(checkCalls[0].interfaceId, kImageControlInterfaceId);
    EXPECT_EQ(checkCalls[0].slot, f.slot);

    EXPECT_EQ(rec.puts(), f.failingPut + 1) << "the error never came back into the body";
    EXPECT_EQ(rec.heldControls(), 0) << "the unwind clean-up released the control";
    EXPECT_EQ(rec.heldAtExit, 0) << "no control, sum or loop state held at the exit";
    EXPECT_EQ(rec.formReferences, 1u);
    EXPECT_EQ(registrationHead, nullptr);
    ASSERT_TRUE(reported.has_value());
    EXPECT_EQ(reported->number(), 380);
    EXPECT_EQ(runtime::runTimeErrorMessage(*reported), "Run-time error '380':\n\nInvalid property value");
}

TEST(FailedPutDeathTest, TellsTheUserAndEndsTheProcessWithAnErrorCode) {
    EXPECT_EXIT(
        {
            Recording rec;
            rec.pauseLimit = kGallop.pauseLimit;
            rec.failAtPut = 6;
            rec.status = std::int32_t(0x800A017C);
            startedForm().callMethod(1, rec.reference(true));
            std::exit(0);  // not reached: the runtime ends the process
        },
        testing::ExitedWithCode(1), "Run-time error '380':\n\nInvalid property value");
}

INSTANTIATE_TEST_SUITE_P(Puts, FailedPut, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// Errors that no registration takes still leave through the frame, and reach
// the user as run-time errors.
struct Escape {
    const char* name;
    std::function<void()> raise;
    bool registrationDeclines;
    std::int32_t reportedNumber;
};

void PrintTo(const Escape& e, std::ostream* os) { *os << e.name; }

ExceptionDisposition declineEveryError(const RaisedError&, HandlerFrameRecord*) {
    return runtime_interface::ExceptionDisposition::ContinueSearch;
}

const Escape kEscapes[] = {
    {"run_time_error_no_registration_takes", [] { throw RaisedError(380, "Invalid property value"); }, true, 380},
    {"out_of_memory", [] { throw std::bad_alloc(); }, false, 7},
    {"foreign_exception", [] { throw std::runtime_error("the window system failed"); }, false, 51},
};

class EscapingError : public testing::TestWithParam<Escape> {};

TEST_P(EscapingError, StillTakesTheFrameOffAndReleasesWhatItHeld) {
    const Escape& e = GetParam();
    for (const Handler* h : {&kSlide, &kGallop}) {
        SCOPED_TRACE(h->name);
        Recording rec;
        rec.pauseLimit = h->pauseLimit;
        rec.failAtPut = 4;  // a Left put in both
        rec.throwAtFailingPut = e.raise;
        std::optional<ImportSpy<formats::Import::__vbaExceptHandler>> decline;
        if (e.registrationDeclines) decline.emplace(declineEveryError);
        std::optional<RaisedError> reported;
        process().setErrorSink([&](const RaisedError& error) { reported = error; });
        startedForm().callMethod(h == &kSlide ? 0 : 1, rec.reference(true));
        process().setErrorSink(nullptr);

        EXPECT_EQ(registrationHead, nullptr) << "registration taken off";
        EXPECT_EQ(rec.formReferences, 1u) << "form released";
        EXPECT_EQ(rec.heldControls(), 0) << "control reference released";
        EXPECT_EQ(rec.heldAtExit, 0) << "nothing held when the form was released";
        ASSERT_TRUE(reported.has_value());
        EXPECT_EQ(reported->number(), e.reportedNumber);
    }
}

INSTANTIATE_TEST_SUITE_P(Errors, EscapingError, testing::ValuesIn(kEscapes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ObjectTemporary, SetReleasesWhatItHeldEvenTheSameControl) {
    process();
    Recording rec;
    ImageControlInterface* temporary = nullptr;
    for (RecordingControl* next : {&rec.img1, &rec.img1, &rec.img2}) {
        next->AddRef();  // as an accessor returns it
        EXPECT_EQ(program::imported<formats::Import::__vbaObjSet>()(&temporary, next), next);
    }
    EXPECT_EQ(rec.img1.references, 1u) << "both references to Img1 released";
    EXPECT_EQ(rec.img2.references, 2u) << "the temporary holds Img2";
    program::imported<formats::Import::__vbaFreeObj>()(&temporary);
    EXPECT_EQ(temporary, nullptr);
    EXPECT_EQ(rec.img2.references, 1u);
}

}  // namespace
}  // namespace zelk::tests
