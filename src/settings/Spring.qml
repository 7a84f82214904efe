import QtQuick
import Kestrune.Style

// A damped spring as a duration-based curve, so that reduced motion can
// make it instant. `response` is the spring's period in seconds and
// `dampingFraction` its damping ratio: the back-out curve overshoots as far
// as a spring with that ratio first does, and lasts about as long as it
// takes to settle.
NumberAnimation {
    property real response: 0.3
    property real dampingFraction: 0.7

    // The overshoot parameter s of Easing.OutBack peaks at 4s³ / 27(s+1)²;
    // solved by bisection for the spring's first overshoot.
    function overshootFor(ratio) {
        const zeta = Math.min(Math.max(ratio, 0.05), 0.99)
        const peak = Math.exp(-Math.PI * zeta / Math.sqrt(1 - zeta * zeta))
        let lo = 0, hi = 10
        for (let i = 0; i < 40; ++i) {
            const s = (lo + hi) / 2
            if (4 * s * s * s / (27 * (s + 1) * (s + 1)) < peak)
                lo = s
            else
                hi = s
        }
        return (lo + hi) / 2
    }

    duration: Theme.duration(Math.round(response * 1500))
    easing.type: Easing.OutBack
    easing.overshoot: overshootFor(dampingFraction)
}
