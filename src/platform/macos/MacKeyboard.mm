#include "platform/macos/MacKeyboard.h"

#include "platform/TapTranslation.h"

#import <ApplicationServices/ApplicationServices.h>
#import <CoreFoundation/CoreFoundation.h>

#include <atomic>

namespace kestrune {

namespace {

// A tap and its run loop. The tap thread runs the loop until stop(), which
// any thread may call: it sets a flag and signals a run-loop source whose
// handler, on the tap thread, stops the loop (stopping a run loop from
// another thread directly is not documented as safe). A second source, in
// the same way, has the engine let go of its keys before sleep.
class MacTap final : public EventTap {
public:
    MacTap(EventHandler& handler, TapThreadRequest& sleepRelease) : handler_(handler), sleepRelease_(sleepRelease) {}

    bool install(uint64_t mask)
    {
        port_ = CGEventTapCreate(kCGSessionEventTap, kCGHeadInsertEventTap, kCGEventTapOptionDefault,
                                 static_cast<CGEventMask>(mask), &MacTap::callback, this);
        if (!port_)
            return false;
        tapSource_ = CFMachPortCreateRunLoopSource(kCFAllocatorDefault, port_, 0);
        CFRunLoopSourceContext context = {};
        context.version = 0;
        context.info = this;
        context.perform = &MacTap::performStop;
        stopSource_ = CFRunLoopSourceCreate(kCFAllocatorDefault, 0, &context);
        context.perform = &MacTap::performSleepRelease;
        sleepSource_ = CFRunLoopSourceCreate(kCFAllocatorDefault, 0, &context);
        if (!tapSource_ || !stopSource_ || !sleepSource_)
            return false;
        runLoop_ = static_cast<CFRunLoopRef>(const_cast<void*>(CFRetain(CFRunLoopGetCurrent())));
        CFRunLoopAddSource(runLoop_, tapSource_, kCFRunLoopCommonModes);
        CFRunLoopAddSource(runLoop_, stopSource_, kCFRunLoopCommonModes);
        CFRunLoopAddSource(runLoop_, sleepSource_, kCFRunLoopCommonModes);
        CFRunLoopSourceRef sleepSource = sleepSource_;
        CFRunLoopRef runLoop = runLoop_;
        sleepRelease_.attach([sleepSource, runLoop] {
            CFRunLoopSourceSignal(sleepSource);
            CFRunLoopWakeUp(runLoop);
        });
        attached_ = true;
        return true;
    }

    ~MacTap() override
    {
        // First, so that no request signals a source being released.
        if (attached_)
            sleepRelease_.detach();
        if (port_) {
            CGEventTapEnable(port_, false);
            CFMachPortInvalidate(port_);
        }
        if (runLoop_) {
            if (tapSource_)
                CFRunLoopRemoveSource(runLoop_, tapSource_, kCFRunLoopCommonModes);
            if (stopSource_)
                CFRunLoopRemoveSource(runLoop_, stopSource_, kCFRunLoopCommonModes);
            if (sleepSource_)
                CFRunLoopRemoveSource(runLoop_, sleepSource_, kCFRunLoopCommonModes);
            CFRelease(runLoop_);
        }
        if (sleepSource_)
            CFRelease(sleepSource_);
        if (stopSource_)
            CFRelease(stopSource_);
        if (tapSource_)
            CFRelease(tapSource_);
        if (port_)
            CFRelease(port_);
    }

    void run() override
    {
        // A stop that comes before the loop runs leaves the flag set, one that
        // comes while it runs fires the stop source: either way this returns.
        while (!stopRequested_.load(std::memory_order_acquire))
            CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1.0e10, false);
    }

    void stop() override
    {
        stopRequested_.store(true, std::memory_order_release);
        CFRunLoopSourceSignal(stopSource_);
        CFRunLoopWakeUp(runLoop_);
    }

    void setEnabled(bool enabled) override { CGEventTapEnable(port_, enabled); }

private:
    static void performStop(void* info)
    {
        (void)info;
        CFRunLoopStop(CFRunLoopGetCurrent());
    }

    // Between events, so the engine's state is its own here.
    static void performSleepRelease(void* info)
    {
        auto* tap = static_cast<MacTap*>(info);
        tap->sleepRelease_.serve([tap] { tap->handler_.resetKeyState(); });
    }

    static CGEventRef callback(CGEventTapProxy proxy, CGEventType type, CGEventRef event, void* userInfo)
    {
        (void)proxy;
        if (!userInfo)
            return event;
        auto* tap = static_cast<MacTap*>(userInfo);
        NativeKeyFields in;
        in.type = static_cast<uint32_t>(type);
        if (event && (type == kCGEventKeyDown || type == kCGEventKeyUp || type == kCGEventFlagsChanged)) {
            in.keyCode = CGEventGetIntegerValueField(event, kCGKeyboardEventKeycode);
            in.flags = static_cast<uint64_t>(CGEventGetFlags(event));
            in.userData = CGEventGetIntegerValueField(event, kCGEventSourceUserData);
            in.autorepeat = CGEventGetIntegerValueField(event, kCGKeyboardEventAutorepeat) != 0;
        }
        const TapOutcome out = handleNativeEvent(tap->handler_, in);
        switch (out.action) {
        case TapOutcome::Action::Drop:
            return nullptr;
        case TapOutcome::Action::PassUnchanged:
            return event;
        case TapOutcome::Action::PassRewritten:
            break;
        }
        if (out.typeChanged)
            CGEventSetType(event, static_cast<CGEventType>(out.fields.type));
        if (out.keyCodeChanged)
            CGEventSetIntegerValueField(event, kCGKeyboardEventKeycode, out.fields.keyCode);
        if (out.flagsChanged)
            CGEventSetFlags(event, static_cast<CGEventFlags>(out.fields.flags));
        if (out.userDataChanged)
            CGEventSetIntegerValueField(event, kCGEventSourceUserData, out.fields.userData);
        return event;
    }

    EventHandler& handler_;
    TapThreadRequest& sleepRelease_;
    bool attached_ = false;
    CFMachPortRef port_ = nullptr;
    CFRunLoopSourceRef tapSource_ = nullptr;
    CFRunLoopSourceRef stopSource_ = nullptr;
    CFRunLoopSourceRef sleepSource_ = nullptr;
    CFRunLoopRef runLoop_ = nullptr;
    std::atomic<bool> stopRequested_{false};
};

CGEventSourceRef eventSource(const void* source)
{
    return static_cast<CGEventSourceRef>(const_cast<void*>(source));
}

} // namespace

MacKeyboard::MacKeyboard()
    : source_(CGEventSourceCreate(kCGEventSourceStateHIDSystemState))
{
}

MacKeyboard::~MacKeyboard()
{
    if (source_)
        CFRelease(source_);
}

std::unique_ptr<EventTap> MacKeyboard::createTap(uint64_t mask, EventHandler& handler)
{
    auto tap = std::make_unique<MacTap>(handler, sleepRelease_);
    if (!tap->install(mask))
        return nullptr;
    return tap;
}

bool MacKeyboard::releaseAllForSleep(std::chrono::milliseconds guard)
{
    return sleepRelease_.requestAndWait(guard);
}

void MacKeyboard::post(const KeyEvent& event)
{
    const std::optional<NativePost> post = nativePostFor(event);
    if (!post)
        return;
    CGEventRef native = CGEventCreateKeyboardEvent(eventSource(source_), static_cast<CGKeyCode>(post->keyCode),
                                                   post->keyDown);
    if (!native)
        return;
    if (post->type == static_cast<uint32_t>(kCGEventFlagsChanged))
        CGEventSetType(native, kCGEventFlagsChanged);
    CGEventSetFlags(native, static_cast<CGEventFlags>(post->flags));
    CGEventSetIntegerValueField(native, kCGEventSourceUserData, post->userData);
    CGEventPost(kCGHIDEventTap, native);
    CFRelease(native);
}

} // namespace kestrune
