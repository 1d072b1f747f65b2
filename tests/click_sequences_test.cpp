// The slide and the gallop against recording picture controls and a recording
// import address table: every call in order, with what the frame holds at
// each, the references held, and the way out after a raised error.
#include "test_support.h"

#include "runtime/exports.h"
#include "runtime/start_up.h"
#include "runtime_interface/exception_chain.h"
#include "program/click_handlers.h"
#include "program/form1.h"
#include "program/handler_frame.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <new>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zelk::tests {
namespace {

using formats::Guid;
using formats::Import;
using runtime_interface::ExceptionDisposition;
using runtime_interface::FormInterface;
using runtime_interface::HandlerFrameRecord;
using runtime_interface::ImageControlInterface;
using runtime_interface::kImageControlInterfaceId;
using runtime_interface::RaisedError;
using runtime_interface::registrationHead;
using runtime_interface::Variant;
using runtime_interface::VariantType;

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
    RecordingControl(Recording& recording, int picture)
        : recording_(recording), picture_(picture) {}  // picture 0: a leftover
    std::uint32_t AddRef() override { return ++references; }
    std::uint32_t Release() override;
    std::int32_t putVisible(std::int16_t v) override;
    std::int32_t putLeft(float twips) override;

    std::uint32_t references = 1;

private:
    Recording& recording_;
    int picture_;
};

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

std::string hex(std::int32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", unsigned(v));
    return text;
}

std::string guidText(const Guid& g) {
    const auto& b = g.bytes;
    char text[40];
    std::snprintf(text,
                  sizeof text,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  b[3],
                  b[2],
                  b[1],
                  b[0],
                  b[5],
                  b[4],
                  b[7],
                  b[6],
                  b[8],
                  b[9],
                  b[10],
                  b[11],
                  b[12],
                  b[13],
                  b[14],
                  b[15]);
    return text;
}

std::string valueText(const Variant& v) {
    switch (v.type) {
        case VariantType::Empty: return "empty";
        case VariantType::Integer16: return "int16 " + std::to_string(v.integer16);
        case VariantType::Integer32: return "int32 " + std::to_string(v.integer32);
        default: return "type " + std::to_string(int(v.type));
    }
}

// A stand-in for the runtime's form: the program's fields, recording pictures.
// Besides the puts and pauses it keeps `calls`, every call the handler makes
// in order as text, with what the arguments held at the call.
struct Recording {
    program::Form1 form{};
    FormInterface interface {};
    std::uint32_t formReferences = 1;
    RecordingControl img1{*this, 1}, img2{*this, 2}, img3{*this, 3};
    RecordingControl leftover{*this, 0};  // where an object temporary never emptied points
    std::int32_t pauseLimit = 0;
    std::vector<Event> events;
    std::vector<std::string> calls;
    std::string violations;
    std::optional<std::size_t> failAtPut;     // index among the puts
    std::int32_t status = 0;                  // returned by every put, or by the failing one
    std::function<void()> throwAtFailingPut;  // instead of returning the status
    std::string raiseAt;                      // the first call whose line starts so raises this error
    std::int32_t raiseNumber = 0;
    bool checkRaises = true;  // __vbaHresultCheckObj raises, or returns as on success
    int heldAtExit = -1;      // what the frame still held when the form was released
    bool temporariesPending = false;

    Recording() {
        interface.AddRef = [](void* f) {
            Recording& r = owner(f);
            r.log("AddRef(" + r.formName(f) + ") " + r.frameText());
            r.leaveLeftoversInFrame();
            r.temporariesPending = true;
            return ++r.formReferences;
        };
        interface.Release = [](void* f) {
            Recording& r = owner(f);
            r.log("Release(" + r.formName(f) + ") " + r.frameText());
            r.checkFrameIsEmpty();
            return --r.formReferences;
        };
        interface.imageAccessors[program::kAccessImg3] = [](void* f) { return owner(f).access(f, owner(f).img3); };
        interface.imageAccessors[program::kAccessImg2] = [](void* f) { return owner(f).access(f, owner(f).img2); };
        interface.imageAccessors[program::kAccessImg1] = [](void* f) { return owner(f).access(f, owner(f).img1); };
        form.interfaceTable = &interface;
        form.runtimeState.owner = this;
        form.PauseCount = 777;  // a pause starts from 1 whatever it finds
    }
    static Recording& owner(void* f) {
        return *static_cast<Recording*>(static_cast<program::Form1*>(f)->runtimeState.owner);
    }

    int heldControls() const { return int(img1.references + img2.references + img3.references) - 3; }

    ImageControlInterface* access(void* f, RecordingControl& c) {
        log(controlName(&c) + " accessor(" + formName(f) + ")");
        if (heldControls() != 0) violations += "a control was still held when the next was taken\n";
        c.AddRef();
        return &c;
    }

    std::int32_t put(Op op, int picture, float value) {
        const std::size_t index = puts();
        log("Img" + std::to_string(picture) + (op == Op::Visible ? ".Visible(" : ".Left(") + number(value) + ")");
        events.push_back({op, picture, value});
        if (heldControls() != 1) violations += "a put ran without exactly one control held\n";
        if (formReferences != 2) violations += "the handler did not hold the form during a put\n";
        if (failAtPut && index == *failAtPut && throwAtFailingPut) throwAtFailingPut();
        if (failAtPut) return index == *failAtPut ? status : 0;
        return status;
    }

    // A finished pause shows as the count it left, at the next call.
    void notePause() {
        if (form.PauseCount == pauseLimit + 1)
            events.push_back({Op::Pause, 0, 0});
        else if (form.PauseCount != 0 && form.PauseCount != 777)
            violations += "a pause ended at the wrong count\n";
        if (form.PauseCount != 0 && form.PauseCount != 777)
            calls.push_back("PauseCount=" + std::to_string(form.PauseCount));
        form.PauseCount = 0;
    }

    // The temporaries show once, at the first call after AddRef: the first
    // that can raise an error.
    void log(std::string line) {
        notePause();
        if (temporariesPending) {
            temporariesPending = false;
            calls.push_back(temporariesText());
        }
        calls.push_back(line);
        if (!raiseAt.empty() && line.starts_with(raiseAt)) {
            raiseAt.clear();
            throw RaisedError(raiseNumber, "raised by the test");
        }
    }

    std::size_t puts() const {
        return std::size_t(
            std::count_if(events.begin(), events.end(), [](const Event& e) { return e.op != Op::Pause; }));
    }

    static program::HandlerLocals* locals() {
        return registrationHead ? static_cast<program::HandlerLocals*>(registrationHead->stackPosition) : nullptr;
    }
    static program::GallopLocals* gallopLocals() {
        return registrationHead && registrationHead->procedureDescriptor == symbol("procedure.Command2_Click")
                   ? static_cast<program::GallopLocals*>(locals())
                   : nullptr;
    }

    // What a frame's memory holds before the handler has emptied it: whatever
    // earlier calls left on the stack.
    void leaveLeftoversInFrame() {
        program::HandlerLocals* l = locals();
        if (!l) return;
        Variant left{};
        left.type = VariantType::Integer32;
        left.integer32 = 0x4C4C4C4C;
        l->objectTemporary = &leftover;
        for (Variant* v : {&l->startConstant, &l->endConstant, &l->stepConstant, &l->hiddenEnd, &l->hiddenStep})
            *v = left;
        if (program::GallopLocals* g = gallopLocals()) g->sum = left;
    }

    void checkFrameIsEmpty() {
        auto* l = locals();
        if (!l) return;  // no frame to look into: heldAtExit stays unknown
        heldAtExit = (l->objectTemporary != nullptr) + (l->hiddenEnd.type != VariantType::Empty) +
                     (l->hiddenStep.type != VariantType::Empty);
        if (program::GallopLocals* g = gallopLocals()) heldAtExit += g->sum.type != VariantType::Empty;
    }

    std::string formName(const void* f) const { return f == &form ? "form" : "?"; }

    std::string controlName(const ImageControlInterface* c) const {
        if (!c) return "null";
        if (c == &img1) return "Img1";
        if (c == &img2) return "Img2";
        if (c == &img3) return "Img3";
        if (c == &leftover) return "leftover";
        return "?";
    }

    std::string temporaryName(ImageControlInterface* const* t) const {
        const program::HandlerLocals* l = locals();
        return (l && t == &l->objectTemporary ? "temp=" : "?=") + controlName(*t);
    }

    std::string variantName(const Variant* v) const {
        if (v == &form.MovePos) return "MovePos";
        if (const program::HandlerLocals* l = locals()) {
            const std::pair<const Variant*, const char*> named[] = {{&l->startConstant, "start"},
                                                                    {&l->endConstant, "end"},
                                                                    {&l->stepConstant, "step"},
                                                                    {&l->hiddenEnd, "pair1"},
                                                                    {&l->hiddenStep, "pair2"}};
            for (const auto& [at, name] : named)
                if (v == at) return name;
        }
        if (const program::GallopLocals* g = gallopLocals(); g && v == &g->sum) return "sum";
        return "?";
    }
    std::string variantText(const Variant* v) const { return variantName(v) + "=" + valueText(*v); }
    // Which of the pair holds what is the runtime's affair.
    std::string pairText(const Variant* v) const {
        return variantName(v) + (v->type == VariantType::Empty ? "=empty" : "=held");
    }

    std::string temporariesText() const {
        const program::HandlerLocals* l = locals();
        if (!l) return "temporaries{no frame}";
        std::string text = "temporaries{" + temporaryName(&l->objectTemporary);
        for (const Variant* v : {&l->startConstant, &l->endConstant, &l->stepConstant, &l->hiddenEnd, &l->hiddenStep})
            text += ", " + variantText(v);
        if (const program::GallopLocals* g = gallopLocals()) text += ", " + variantText(&g->sum);
        return text + "}";
    }

    // The registration at the head of the chain: whose descriptor, its result slot.
    std::string frameText() const {
        const HandlerFrameRecord* f = registrationHead;
        if (!f) return "frame{none}";
        std::string text = "frame{";
        if (f->procedureDescriptor == symbol("procedure.Command1_Click"))
            text += "Command1_Click";
        else if (f->procedureDescriptor == symbol("procedure.Command2_Click"))
            text += "Command2_Click";
        else
            text += "?";
        text += ", result=" + std::to_string(f->result);
        const auto registered = reinterpret_cast<runtime_interface::AnyRoutine>(f->handler);
        if (registered != program::importAddressTable[int(Import::__vbaExceptHandler)]) text += ", another handler";
        if (f->previous) text += ", above another frame";
        return text + "}";
    }

    std::uintptr_t reference(bool asEvent) const { return reinterpret_cast<std::uintptr_t>(&form) | (asEvent ? 1 : 0); }
};

std::uint32_t RecordingControl::Release() {
    if (picture_ == 0) recording_.log("leftover.Release()");
    return --references;
}
std::int32_t RecordingControl::putVisible(std::int16_t v) { return recording_.put(Op::Visible, picture_, v); }
std::int32_t RecordingControl::putLeft(float twips) { return recording_.put(Op::Left, picture_, twips); }

// Fills every slot of the import address table for its lifetime: the
// operations the handlers call log their call and go on to the runtime; any
// other logs that it was called.
class RecordingImports {
public:
    explicit RecordingImports(Recording& recording) {
        process();  // resolves the imports first, so none is overwritten later
        std::copy(program::importAddressTable.begin(), program::importAddressTable.end(), saved_.begin());
        current = &recording;
        fillUnexpected(std::make_index_sequence<formats::kImportCount>());
        set<Import::__vbaObjSet>([](ImageControlInterface** t, ImageControlInterface* reference) {
            active().log("__vbaObjSet(" + active().temporaryName(t) + ", " + active().controlName(reference) + ")");
            return runtime::__vbaObjSet(t, reference);
        });
        set<Import::__vbaFreeObj>([](ImageControlInterface** t) {
            active().log("__vbaFreeObj(" + active().temporaryName(t) + ")");
            runtime::__vbaFreeObj(t);
        });
        set<Import::__vbaHresultCheckObj>(
            [](std::int32_t status, ImageControlInterface* c, const Guid* id, std::int32_t slot) {
                active().log("__vbaHresultCheckObj(" + hex(status) + ", " + active().controlName(c) + ", " +
                             guidText(*id) + ", " + std::to_string(slot) + ")");
                if (active().checkRaises) runtime::__vbaHresultCheckObj(status, c, id, slot);
            });
        set<Import::__vbaErrorOverflow>([] {
            active().log("__vbaErrorOverflow()");
            runtime::__vbaErrorOverflow();
        });
        set<Import::__vbaVarForInit>([](Variant* counter,
                                        Variant* first,
                                        Variant* second,
                                        const Variant* start,
                                        const Variant* end,
                                        const Variant* step) {
            active().log("__vbaVarForInit(" + active().variantName(counter) + ", " + active().pairText(first) + ", " +
                         active().pairText(second) + ", " + active().variantText(start) + ", " +
                         active().variantText(end) + ", " + active().variantText(step) + ")");
            return runtime::__vbaVarForInit(counter, first, second, start, end, step);
        });
        set<Import::__vbaVarForNext>([](Variant* counter, Variant* first, Variant* second) {
            active().log("__vbaVarForNext(" + active().variantText(counter) + ", " + active().variantName(first) +
                         ", " + active().variantName(second) + ")");
            return runtime::__vbaVarForNext(counter, first, second);
        });
        set<Import::__vbaVarAdd>([](Variant* result, const Variant* addend, const Variant* variable) {
            active().log("__vbaVarAdd(" + active().variantText(result) + ", " + active().variantText(addend) + ", " +
                         active().variantText(variable) + ")");
            return runtime::__vbaVarAdd(result, addend, variable);
        });
        set<Import::__vbaR4Var>([](const Variant* v) {
            active().log("__vbaR4Var(" + active().variantText(v) + ")");
            return runtime::__vbaR4Var(v);
        });
        set<Import::__vbaFreeVar>([](Variant* v) {
            active().log("__vbaFreeVar(" + active().variantText(v) + ")");
            runtime::__vbaFreeVar(v);
        });
        set<Import::__vbaFreeVarList>(freeVarList);
        set<Import::__vbaExceptHandler>([](const RaisedError& error, HandlerFrameRecord* frame) {
            active().log("__vbaExceptHandler(error " + std::to_string(error.number()) + ")");
            return runtime::__vbaExceptHandler(error, frame);
        });
    }
    ~RecordingImports() {
        std::copy(saved_.begin(), saved_.end(), program::importAddressTable.begin());
        current = nullptr;
    }
    RecordingImports(const RecordingImports&) = delete;
    RecordingImports& operator=(const RecordingImports&) = delete;

private:
    static Recording& active() { return *current; }

    static void freeVarList(std::int32_t count, ...) {
        std::vector<Variant*> list;
        va_list args;
        va_start(args, count);
        for (std::int32_t i = 0; i < count; ++i) list.push_back(va_arg(args, Variant*));
        va_end(args);
        std::string line = "__vbaFreeVarList(" + std::to_string(count);
        for (Variant* v : list) line += ", " + active().pairText(v);
        active().log(line + ") result=" + (registrationHead ? std::to_string(registrationHead->result) : "none"));
        for (Variant* v : list) runtime::__vbaFreeVar(v);
    }

    template <Import I, class Stub>
    static void set(Stub stub) {
        typename program::ImportType<I>::type routine = stub;
        program::importAddressTable[int(I)] = reinterpret_cast<runtime_interface::AnyRoutine>(routine);
    }

    template <int I>
    static void unexpected() {
        active().log("unexpected " + std::string(formats::kImports[I].name));
    }
    template <std::size_t... I>
    static void fillUnexpected(std::index_sequence<I...>) {
        ((program::importAddressTable[I] = &unexpected<int(I)>), ...);
    }

    static inline Recording* current = nullptr;
    std::array<runtime_interface::AnyRoutine, formats::kImportCount> saved_{};
};

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

// clang-format off
const GallopOp kGallopStep[] = {
    {Op::Visible, 1, -1}, {Op::Visible, 2, 0}, {Op::Visible, 3, 0},  {Op::Left, 1, 0},   {Op::Pause, 0, 0},
    {Op::Visible, 1, 0},  {Op::Visible, 2, -1}, {Op::Left, 2, 100},   {Op::Pause, 0, 0},
    {Op::Visible, 1, 0},  {Op::Visible, 2, 0}, {Op::Visible, 3, -1}, {Op::Left, 3, 200}, {Op::Pause, 0, 0},
};
// clang-format on

std::vector<Event> expectedGallop() {
    std::vector<Event> e;
    for (int step = 0; step < 21; ++step)
        for (const GallopOp& g : kGallopStep)
            e.push_back({g.op, g.picture, g.op == Op::Left ? float(400 * step + g.value) : float(g.value)});
    return e;
}

// Every call of a run, one line each: the entry, the part before the loop,
// one step of the loop with MovePos = {m}, and the exit. {mark} is the
// entered-as-event mark. A check line comes only when the puts return a
// negative status and the check returns.
struct Line {
    const char* text;
    bool onNegativeStatus = false;
};
constexpr bool kCheck = true;

const Line kSlideEntryCalls[] = {
    {"AddRef(form) frame{Command1_Click, result={mark}}"},
    {"temporaries{temp=null, start=empty, end=empty, step=empty, pair1=empty, pair2=empty}"},
    {"Img1 accessor(form)"},
    {"__vbaObjSet(temp=null, Img1)"},
    {"Img1.Visible(-1)"},
    {"__vbaHresultCheckObj(0x800A017C, Img1, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)", kCheck},
    {"__vbaFreeObj(temp=Img1)"},
    {"Img2 accessor(form)"},
    {"__vbaObjSet(temp=null, Img2)"},
    {"Img2.Visible(0)"},
    {"__vbaHresultCheckObj(0x800A017C, Img2, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)", kCheck},
    {"__vbaFreeObj(temp=Img2)"},
    {"Img3 accessor(form)"},
    {"__vbaObjSet(temp=null, Img3)"},
    {"Img3.Visible(0)"},
    {"__vbaHresultCheckObj(0x800A017C, Img3, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)", kCheck},
    {"__vbaFreeObj(temp=Img3)"},
    {"__vbaVarForInit(MovePos, pair1=empty, pair2=empty, start=int16 0, end=int16 8000, step=int16 400)"},
};

const Line kSlideStepCalls[] = {
    {"Img1 accessor(form)"},
    {"__vbaObjSet(temp=null, Img1)"},
    {"__vbaR4Var(MovePos=int16 {m})"},
    {"Img1.Left({m})"},
    {"__vbaHresultCheckObj(0x800A017C, Img1, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 100)", kCheck},
    {"__vbaFreeObj(temp=Img1)"},
    {"PauseCount=20000001"},
    {"__vbaVarForNext(MovePos=int16 {m}, pair1, pair2)"},
};

const Line kSlideExitCalls[] = {
    {"__vbaFreeVarList(2, pair1=held, pair2=held) result=0"},
    {"Release(form) frame{Command1_Click, result=0}"},
};

const Line kGallopEntryCalls[] = {
    {"AddRef(form) frame{Command2_Click, result={mark}}"},
    {"temporaries{temp=null, start=int16 0, end=int16 8000, step=int16 400, pair1=empty, pair2=empty, sum=empty}"},
    {"__vbaVarForInit(MovePos, pair1=empty, pair2=empty, start=int16 0, end=int16 8000, step=int16 400)"},
};

const Line kGallopStepCalls[] = {
    {"Img1 accessor(form)"},
    {"__vbaObjSet(temp=null, Img1)"},
    {"Img1.Visible(-1)"},
    {"__vbaHresultCheckObj(0x800A017C, Img1, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)", kCheck},
    {"__vbaFreeObj(temp=Img1)"},
    {"Img2 accessor(form)"},
    {"__vbaObjSet(temp=null, Img2)"},
    {"Img2.Visible(0)"},
    {"__vbaHresultCheckObj(0x800A017C, Img2, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)", kCheck},
    {"__vbaFreeObj(temp=Img2)"},
    {"Img3 accessor(form)"},
    {"__vbaObjSet(temp=null, Img3)"},
    {"Img3.Visible(0)"},
    {"__vbaHresultCheckObj(0x800A017C, Img3, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)", kCheck},
    {"__vbaFreeObj(temp=Img3)"},
    {"Img1 accessor(form)"},
    {"__vbaObjSet(temp=null, Img1)"},
    {"__vbaR4Var(MovePos=int16 {m})"},
    {"Img1.Left({m})"},
    {"__vbaHresultCheckObj(0x800A017C, Img1, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 100)", kCheck},
    {"__vbaFreeObj(temp=Img1)"},
    {"PauseCount=50000001"},

    {"Img1 accessor(form)"},
    {"__vbaObjSet(temp=null, Img1)"},
    {"Img1.Visible(0)"},
    {"__vbaHresultCheckObj(0x800A017C, Img1, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)", kCheck},
    {"__vbaFreeObj(temp=Img1)"},
    {"Img2 accessor(form)"},
    {"__vbaObjSet(temp=null, Img2)"},
    {"Img2.Visible(-1)"},
    {"__vbaHresultCheckObj(0x800A017C, Img2, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)", kCheck},
    {"__vbaFreeObj(temp=Img2)"},
    {"Img2 accessor(form)"},
    {"__vbaObjSet(temp=null, Img2)"},
    {"__vbaVarAdd(sum=empty, step=int16 100, MovePos=int16 {m})"},
    {"__vbaR4Var(sum=int16 {m+100})"},
    {"Img2.Left({m+100})"},
    {"__vbaHresultCheckObj(0x800A017C, Img2, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 100)", kCheck},
    {"__vbaFreeObj(temp=Img2)"},
    {"__vbaFreeVar(sum=int16 {m+100})"},
    {"PauseCount=50000001"},

    {"Img1 accessor(form)"},
    {"__vbaObjSet(temp=null, Img1)"},
    {"Img1.Visible(0)"},
    {"__vbaHresultCheckObj(0x800A017C, Img1, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)", kCheck},
    {"__vbaFreeObj(temp=Img1)"},
    {"Img2 accessor(form)"},
    {"__vbaObjSet(temp=null, Img2)"},
    {"Img2.Visible(0)"},
    {"__vbaHresultCheckObj(0x800A017C, Img2, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)", kCheck},
    {"__vbaFreeObj(temp=Img2)"},
    {"Img3 accessor(form)"},
    {"__vbaObjSet(temp=null, Img3)"},
    {"Img3.Visible(-1)"},
    {"__vbaHresultCheckObj(0x800A017C, Img3, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)", kCheck},
    {"__vbaFreeObj(temp=Img3)"},
    {"Img3 accessor(form)"},
    {"__vbaObjSet(temp=null, Img3)"},
    {"__vbaVarAdd(sum=empty, step=int16 200, MovePos=int16 {m})"},
    {"__vbaR4Var(sum=int16 {m+200})"},
    {"Img3.Left({m+200})"},
    {"__vbaHresultCheckObj(0x800A017C, Img3, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 100)", kCheck},
    {"__vbaFreeObj(temp=Img3)"},
    {"__vbaFreeVar(sum=int16 {m+200})"},
    {"PauseCount=50000001"},

    {"__vbaVarForNext(MovePos=int16 {m}, pair1, pair2)"},
};

const Line kGallopExitCalls[] = {
    {"__vbaFreeVarList(2, pair1=held, pair2=held) result=0"},
    {"Release(form) frame{Command2_Click, result=0}"},
};

std::string filled(std::string text, int movePos, bool asEvent) {
    const std::pair<std::string, std::string> fields[] = {{"{m}", std::to_string(movePos)},
                                                          {"{m+100}", std::to_string(movePos + 100)},
                                                          {"{m+200}", std::to_string(movePos + 200)},
                                                          {"{mark}", asEvent ? "1" : "0"}};
    for (const auto& [field, value] : fields)
        for (std::size_t at; (at = text.find(field)) != std::string::npos;) text.replace(at, field.size(), value);
    return text;
}

struct Handler {
    const char* name;
    std::int32_t (*run)(std::uintptr_t);
    std::int32_t pauseLimit;
    std::vector<Event> (*expected)();
    std::span<const Line> entry, step, exit;
};

// The calls of a whole run: entry, 21 steps with MovePos 0, 400, ..., 8000, exit.
std::vector<std::string> expectedCalls(const Handler& h, bool asEvent, bool negativeStatus) {
    std::vector<std::string> out;
    auto add = [&](std::span<const Line> lines, int movePos) {
        for (const Line& l : lines)
            if (!l.onNegativeStatus || negativeStatus) out.push_back(filled(l.text, movePos, asEvent));
    };
    add(h.entry, 0);
    for (int movePos = 0; movePos <= 8000; movePos += 400) add(h.step, movePos);
    add(h.exit, 0);
    return out;
}

// The first line where two call lists part, with a few lines of each around it.
testing::AssertionResult sameCalls(const std::vector<std::string>& got, const std::vector<std::string>& want) {
    std::size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
    if (at == got.size() && at == want.size()) return testing::AssertionSuccess();
    auto around = [at](const std::vector<std::string>& calls) {
        std::string text;
        for (std::size_t i = at >= 3 ? at - 3 : 0; i < calls.size() && i < at + 4; ++i)
            text += (i == at ? "  > " : "    ") + calls[i] + "\n";
        return text;
    };
    return testing::AssertionFailure() << "calls part at line " << at << " (" << got.size() << " made, " << want.size()
                                       << " expected)\nmade:\n"
                                       << around(got) << "expected:\n"
                                       << around(want);
}

void PrintTo(const Handler& h, std::ostream* os) { *os << h.name; }

const Handler kSlide{"Command1_Click",
                     program::Command1_Click,
                     20000000,
                     expectedSlide,
                     kSlideEntryCalls,
                     kSlideStepCalls,
                     kSlideExitCalls};
const Handler kGallop{"Command2_Click",
                      program::Command2_Click,
                      50000000,
                      expectedGallop,
                      kGallopEntryCalls,
                      kGallopStepCalls,
                      kGallopExitCalls};

std::int32_t runHandler(Recording& recording, const Handler& h, bool asEvent) {
    recording.pauseLimit = h.pauseLimit;
    const std::int32_t status = h.run(recording.reference(asEvent));
    recording.notePause();
    return status;
}

class ClickSequence : public testing::TestWithParam<Handler> {
protected:
    void SetUp() override { process(); }
};

TEST_P(ClickSequence, MakesItsPutsAndPausesInOrderAndLeavesNothingHeld) {
    const Handler& h = GetParam();
    Recording recording;
    EXPECT_EQ(runHandler(recording, h, true), 0);
    EXPECT_EQ(recording.events, h.expected());
    EXPECT_EQ(recording.violations, "");
    EXPECT_EQ(recording.formReferences, 1u) << "AddRef on entry, Release on the way out";
    EXPECT_EQ(recording.heldAtExit, 0) << "object temporary, sum and loop pair empty at the exit";
    EXPECT_EQ(recording.heldControls(), 0);
    EXPECT_EQ(registrationHead, nullptr) << "the frame took its registration off";
    EXPECT_EQ(recording.form.MovePos.type, runtime_interface::VariantType::Integer16);
    EXPECT_EQ(recording.form.MovePos.integer16, 8400);
}

TEST_P(ClickSequence, RunsTheSameWithoutTheEventMarkAndCountsSuccessByTheSign) {
    const Handler& h = GetParam();
    Recording recording;
    recording.status = 1;  // positive statuses are success
    static int checks;
    checks = 0;
    ImportSpy<formats::Import::__vbaHresultCheckObj> spy(
        [](std::int32_t, ImageControlInterface*, const Guid*, std::int32_t) { ++checks; });
    EXPECT_EQ(runHandler(recording, h, false), 0);
    EXPECT_EQ(recording.events, h.expected());
    EXPECT_EQ(checks, 0);
}

INSTANTIATE_TEST_SUITE_P(Handlers, ClickSequence, testing::Values(kSlide, kGallop),
                         [](const auto& info) { return std::string(info.param.name); });

// The whole run call by call, for each way a put can report: success, a
// positive status (success too), and a negative one whose check returns, as
// the runtime may let it; the run goes on as after a success then.
struct StatusCase {
    const char* name;
    bool asEvent;
    std::int32_t status;
};

const StatusCase kStatusCases[] = {
    {"zero_status_from_the_event", true, 0},
    {"positive_status_as_a_method", false, 1},
    {"negative_status_the_check_returns", true, std::int32_t(0x800A017C)},
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class HandlerCalls : public testing::TestWithParam<std::tuple<Handler, StatusCase>> {};

TEST_P(HandlerCalls, ComeInTheOrderOfTheSteps) {
    const auto& [h, c] = GetParam();
    Recording recording;
    recording.status = c.status;
    recording.checkRaises = false;
    RecordingImports imports(recording);
    EXPECT_EQ(runHandler(recording, h, c.asEvent), 0);
    EXPECT_TRUE(sameCalls(recording.calls, expectedCalls(h, c.asEvent, c.status < 0)));
    EXPECT_EQ(registrationHead, nullptr) << "the registration comes off after Release";
    EXPECT_EQ(recording.leftover.references, 1u) << "what the frame held before its entry is never released";
}

INSTANTIATE_TEST_SUITE_P(Handlers, HandlerCalls,
                         testing::Combine(testing::Values(kSlide, kGallop), testing::ValuesIn(kStatusCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

// An error raised by the first call that can raise one, with leftovers in the
// frame: every temporary is already empty, so the clean-ups free nothing.
struct FirstRaise {
    const char* name;
    const Handler* handler;
    const char* raiseAt;
    std::int32_t error;
    std::vector<std::string> calls;
};

void PrintTo(const FirstRaise& f, std::ostream* os) { *os << f.name; }

const FirstRaise kFirstRaises[] = {
    {"slide_first_accessor",
     &kSlide,
     "Img1 accessor",
     7,
     {
         "AddRef(form) frame{Command1_Click, result=1}",
         "temporaries{temp=null, start=empty, end=empty, step=empty, pair1=empty, pair2=empty}",
         "Img1 accessor(form)",
         "__vbaExceptHandler(error 7)",
         "__vbaFreeObj(temp=null)",
         "__vbaFreeVarList(2, pair1=empty, pair2=empty) result=1",
         "Release(form) frame{Command1_Click, result=1}",
     }},
    {"gallop_loop_start",
     &kGallop,
     "__vbaVarForInit",
     6,
     {
         "AddRef(form) frame{Command2_Click, result=1}",
         "temporaries{temp=null, start=int16 0, end=int16 8000, step=int16 400, pair1=empty, pair2=empty, sum=empty}",
         "__vbaVarForInit(MovePos, pair1=empty, pair2=empty, start=int16 0, end=int16 8000, step=int16 400)",
         "__vbaExceptHandler(error 6)",
         "__vbaFreeObj(temp=null)",
         "__vbaFreeVar(sum=empty)",
         "__vbaFreeVarList(2, pair1=empty, pair2=empty) result=1",
         "Release(form) frame{Command2_Click, result=1}",
     }},
};

class FirstRaisingCall : public testing::TestWithParam<FirstRaise> {};

TEST_P(FirstRaisingCall, FindsEveryTemporaryEmptySoTheCleanUpsFreeNothing) {
    const FirstRaise& f = GetParam();
    Recording recording;
    recording.raiseAt = f.raiseAt;
    recording.raiseNumber = f.error;
    RecordingImports imports(recording);
    EXPECT_EQ(runHandler(recording, *f.handler, true), 1) << "the result slot still holds the mark";
    const std::optional<RaisedError> pending = process().takePendingError();
    ASSERT_TRUE(pending.has_value());
    EXPECT_EQ(pending->number(), f.error);
    EXPECT_TRUE(sameCalls(recording.calls, f.calls));
    EXPECT_EQ(recording.leftover.references, 1u);
    EXPECT_EQ(recording.formReferences, 1u);
    EXPECT_EQ(registrationHead, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Handlers, FirstRaisingCall, testing::ValuesIn(kFirstRaises),
                         [](const auto& info) { return std::string(info.param.name); });

// A failed put that the runtime's exception handler resumes at the exit
// point: the clean-ups, then the exit sequence, and the handler returns what
// its result slot holds then, the mark, which only the normal end clears.
struct ErrorExit {
    const char* name;
    const Handler* handler;
    bool asEvent;
    std::size_t failingPut;
    std::int32_t returned;
    std::vector<std::string> lastCalls;
};

void PrintTo(const ErrorExit& e, std::ostream* os) { *os << e.name; }

const ErrorExit kErrorExits[] = {
    {"slide_left_from_the_event",
     &kSlide,
     true,
     4,
     1,
     {
         "PauseCount=20000001",
         "__vbaVarForNext(MovePos=int16 0, pair1, pair2)",
         "Img1 accessor(form)",
         "__vbaObjSet(temp=null, Img1)",
         "__vbaR4Var(MovePos=int16 400)",
         "Img1.Left(400)",
         "__vbaHresultCheckObj(0x800A017C, Img1, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 100)",
         "__vbaExceptHandler(error 380)",
         "__vbaFreeObj(temp=Img1)",
         "__vbaFreeVarList(2, pair1=held, pair2=held) result=1",
         "Release(form) frame{Command1_Click, result=1}",
     }},
    {"slide_visible_as_a_method",
     &kSlide,
     false,
     0,
     0,
     {
         "AddRef(form) frame{Command1_Click, result=0}",
         "temporaries{temp=null, start=empty, end=empty, step=empty, pair1=empty, pair2=empty}",
         "Img1 accessor(form)",
         "__vbaObjSet(temp=null, Img1)",
         "Img1.Visible(-1)",
         "__vbaHresultCheckObj(0x800A017C, Img1, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)",
         "__vbaExceptHandler(error 380)",
         "__vbaFreeObj(temp=Img1)",
         "__vbaFreeVarList(2, pair1=empty, pair2=empty) result=0",
         "Release(form) frame{Command1_Click, result=0}",
     }},
    {"gallop_offset_left_from_the_event",
     &kGallop,
     true,
     6,
     1,
     {
         "Img2 accessor(form)",
         "__vbaObjSet(temp=null, Img2)",
         "__vbaVarAdd(sum=empty, step=int16 100, MovePos=int16 0)",
         "__vbaR4Var(sum=int16 100)",
         "Img2.Left(100)",
         "__vbaHresultCheckObj(0x800A017C, Img2, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 100)",
         "__vbaExceptHandler(error 380)",
         "__vbaFreeObj(temp=Img2)",
         "__vbaFreeVar(sum=int16 100)",
         "__vbaFreeVarList(2, pair1=held, pair2=held) result=1",
         "Release(form) frame{Command2_Click, result=1}",
     }},
    {"gallop_visible_as_a_method",
     &kGallop,
     false,
     9,
     0,
     {
         "Img3 accessor(form)",
         "__vbaObjSet(temp=null, Img3)",
         "Img3.Visible(-1)",
         "__vbaHresultCheckObj(0x800A017C, Img3, {33AD4F91-6699-11CF-B70C-00AA0060D393}, 140)",
         "__vbaExceptHandler(error 380)",
         "__vbaFreeObj(temp=Img3)",
         "__vbaFreeVar(sum=empty)",
         "__vbaFreeVarList(2, pair1=held, pair2=held) result=0",
         "Release(form) frame{Command2_Click, result=0}",
     }},
};

class ErrorExitPoint : public testing::TestWithParam<ErrorExit> {};

TEST_P(ErrorExitPoint, ReturnsWhatTheResultSlotHolds) {
    const ErrorExit& e = GetParam();
    Recording recording;
    recording.failAtPut = e.failingPut;
    recording.status = std::int32_t(0x800A017C);
    RecordingImports imports(recording);
    EXPECT_EQ(runHandler(recording, *e.handler, e.asEvent), e.returned);
    const std::optional<RaisedError> pending = process().takePendingError();
    ASSERT_TRUE(pending.has_value());
    EXPECT_EQ(pending->number(), 380);
    ASSERT_GE(recording.calls.size(), e.lastCalls.size());
    const std::vector<std::string> last(recording.calls.end() - std::ptrdiff_t(e.lastCalls.size()),
                                        recording.calls.end());
    EXPECT_TRUE(sameCalls(last, e.lastCalls));
    EXPECT_EQ(registrationHead, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Puts, ErrorExitPoint, testing::ValuesIn(kErrorExits),
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
    Recording recording;
    recording.pauseLimit = f.handler->pauseLimit;
    recording.failAtPut = f.failingPut;
    recording.status = std::int32_t(0x800A017C);  // run-time error 380

    checkCalls.clear();
    ImportSpy<formats::Import::__vbaHresultCheckObj> spy(
        [](std::int32_t status, ImageControlInterface* control, const Guid* interfaceId, std::int32_t slot) {
            checkCalls.push_back({status, control, *interfaceId, slot});
            runtime::__vbaHresultCheckObj(status, control, interfaceId, slot);
        });
    std::optional<RaisedError> reported;
    process().setErrorSink([&](const RaisedError& e) { reported = e; });

    startedForm().callMethod(f.handler == &kSlide ? 0 : 1, recording.reference(true));
    process().setErrorSink(nullptr);

    ASSERT_EQ(checkCalls.size(), 1u);
    EXPECT_EQ(checkCalls[0].status, recording.status);
    RecordingControl* controls[] = {&recording.img1, &recording.img2, &recording.img3};
    EXPECT_EQ(checkCalls[0].control, controls[f.picture - 1]);
    EXPECT_EQ(checkCalls[0].interfaceId, kImageControlInterfaceId);
    EXPECT_EQ(checkCalls[0].slot, f.slot);

    EXPECT_EQ(recording.puts(), f.failingPut + 1) << "the error never came back into the body";
    EXPECT_EQ(recording.heldControls(), 0) << "the unwind clean-up released the control";
    EXPECT_EQ(recording.heldAtExit, 0) << "no control, sum or loop state held at the exit";
    EXPECT_EQ(recording.formReferences, 1u);
    EXPECT_EQ(registrationHead, nullptr);
    ASSERT_TRUE(reported.has_value());
    EXPECT_EQ(reported->number(), 380);
    EXPECT_EQ(runtime::runTimeErrorMessage(*reported), "Run-time error '380':\n\nInvalid property value");
}

TEST(FailedPutDeathTest, TellsTheUserAndEndsTheProcessWithAnErrorCode) {
    EXPECT_EXIT(
        {
            Recording recording;
            recording.pauseLimit = kGallop.pauseLimit;
            recording.failAtPut = 6;
            recording.status = std::int32_t(0x800A017C);
            startedForm().callMethod(1, recording.reference(true));
            std::exit(0);  // not reached: the runtime ends the process
        },
        testing::ExitedWithCode(1),
        "Run-time error '380':\n\nInvalid property value");
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
        Recording recording;
        recording.pauseLimit = h->pauseLimit;
        recording.failAtPut = 4;  // a Left put in both
        recording.throwAtFailingPut = e.raise;
        std::optional<ImportSpy<formats::Import::__vbaExceptHandler>> decline;
        if (e.registrationDeclines) decline.emplace(declineEveryError);
        std::optional<RaisedError> reported;
        process().setErrorSink([&](const RaisedError& error) { reported = error; });
        startedForm().callMethod(h == &kSlide ? 0 : 1, recording.reference(true));
        process().setErrorSink(nullptr);

        EXPECT_EQ(registrationHead, nullptr) << "registration taken off";
        EXPECT_EQ(recording.formReferences, 1u) << "form released";
        EXPECT_EQ(recording.heldControls(), 0) << "control reference released";
        EXPECT_EQ(recording.heldAtExit, 0) << "nothing held when the form was released";
        ASSERT_TRUE(reported.has_value());
        EXPECT_EQ(reported->number(), e.reportedNumber);
    }
}

INSTANTIATE_TEST_SUITE_P(Errors, EscapingError, testing::ValuesIn(kEscapes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ObjectTemporary, SetReleasesWhatItHeldEvenTheSameControl) {
    process();
    Recording recording;
    ImageControlInterface* temporary = nullptr;
    for (RecordingControl* next : {&recording.img1, &recording.img1, &recording.img2}) {
        next->AddRef();  // as an accessor returns it
        EXPECT_EQ(program::imported<formats::Import::__vbaObjSet>()(&temporary, next), next);
    }
    EXPECT_EQ(recording.img1.references, 1u) << "both references to Img1 released";
    EXPECT_EQ(recording.img2.references, 2u) << "the temporary holds Img2";
    program::imported<formats::Import::__vbaFreeObj>()(&temporary);
    EXPECT_EQ(temporary, nullptr);
    EXPECT_EQ(recording.img2.references, 1u);
}

}  // namespace
}  // namespace zelk::tests
