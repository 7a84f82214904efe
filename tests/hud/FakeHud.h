#pragma once
// Stand-ins for the HUD panels and the screen: a panel that records what
// was done to it and reads its opacity off the virtual clock, so a test can
// look at a fade half-way through.

#include "base/Scheduler.h"
#include "hud/HudPanel.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace kestrune::test {

class FakePanel final : public HudPanel {
public:
    struct Fade {
        double from;
        double to;
        Millis start;
        Millis duration;
    };

    // `log` outlives the panel and hears every call, destruction included.
    FakePanel(const Scheduler& clock, QSizeF content, QString name, QStringList& log)
        : clock_(clock), content_(content), name_(std::move(name)), log_(log)
    {
    }
    ~FakePanel() override { note(QStringLiteral("destroyed")); }

    QSizeF contentSize() const override { return content_; }
    QSizeF size() const override { return size_; }
    void setSize(QSizeF size) override { size_ = size; note(QStringLiteral("size")); }
    QPointF position() const override { return position_; }
    void setPosition(QPointF p) override { position_ = p; note(QStringLiteral("position")); }

    double opacity() const override
    {
        if (!fade_)
            return opacity_;
        // Linear is close enough: tests only ask "between" or "at the end".
        const double t = std::min(1.0, double((clock_.now() - fade_->start).count()) / double(fade_->duration.count()));
        return fade_->from + (fade_->to - fade_->from) * t;
    }
    void setOpacity(double v) override
    {
        fade_.reset();
        opacity_ = v;
        note(QStringLiteral("opacity %1").arg(v));
    }
    void animateOpacity(double to, Millis duration) override
    {
        fade_ = Fade{opacity(), to, clock_.now(), duration};
        note(QStringLiteral("fade %1 %2ms").arg(to).arg(duration.count()));
    }
    void orderFront() override { shown_ = true; ++frontCount; note(QStringLiteral("front")); }
    void orderOut() override { shown_ = false; ++outCount; note(QStringLiteral("out")); }
    bool isShown() const override { return shown_; }

    // The fade in progress: started and not yet ended by setOpacity.
    const std::optional<Fade>& fade() const { return fade_; }

    int frontCount = 0;
    int outCount = 0;

private:
    void note(const QString& what) { log_.append(name_ + QLatin1Char(' ') + what); }

    const Scheduler& clock_;
    QSizeF content_;
    QString name_;
    QStringList& log_;
    QSizeF size_;
    QPointF position_;
    double opacity_ = 0; // hidden panels start transparent
    std::optional<Fade> fade_;
    bool shown_ = false;
};

class FakePanelFactory final : public HudPanelFactory {
public:
    explicit FakePanelFactory(const Scheduler& clock) : clock_(clock) {}

    std::unique_ptr<HudPanel> makeHyperPanel(HyperViewModel&) override
    {
        ++builds;
        if (failToBuild)
            return nullptr;
        auto panel = std::make_unique<FakePanel>(clock_, QSizeF(236, 76), QStringLiteral("hyper"), log);
        hyper = panel.get();
        return panel;
    }
    std::unique_ptr<HudPanel> makeInputModePanel(InputModeViewModel&) override
    {
        ++builds;
        if (failToBuild)
            return nullptr;
        auto panel = std::make_unique<FakePanel>(clock_, QSizeF(56, 56), QStringLiteral("inputMode"), log);
        inputMode = panel.get();
        return panel;
    }

    QStringList log;
    FakePanel* hyper = nullptr;
    FakePanel* inputMode = nullptr;
    int builds = 0;
    bool failToBuild = false;

private:
    const Scheduler& clock_;
};

class FakeScreens final : public HudScreens {
public:
    std::optional<HudScreenGeometry> mainScreen() const override { return screen; }

    // 1920×1080 with a 30-point bar at the top, a 60-point dock on the left
    // and 40 points reserved at the bottom, so the full and usable areas
    // differ in both centres and in the bottom edge.
    std::optional<HudScreenGeometry> screen =
        HudScreenGeometry{QRectF(0, 0, 1920, 1080), QRectF(60, 30, 1860, 1010)};
};

} // namespace kestrune::test
