#include "shell/windowsettings.h"

#include "platform/richtextpad.h"
#include "platform/speechsynth.h"
#include "shell/twips.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace WindowSettings {

namespace {

// Limits of a window's size and place in pixels; values beyond them are refused.
// Within them, the start-up fits the window to the screen (fitToScreen).
constexpr int kMaxLength = 100000;

qint32 toColorValue(const QColor &color)
{
    const QRgb rgb = color.rgb();
    return qint32(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

// A stored colour: red, green and blue in the three low bytes, or with the top bit
// set one of the system's colours by number. Nothing for other values.
std::optional<QColor> fromColorValue(qint32 value)
{
    const quint32 bits = quint32(value);
    if (bits & 0x80000000u) {
        QPalette::ColorRole role;
        switch (bits & 0xFFFFu) {
        case 4: role = QPalette::Window; break;           // menu background
        case 5: role = QPalette::Base; break;             // window background
        case 8: role = QPalette::Text; break;             // window text
        case 13: role = QPalette::Highlight; break;
        case 14: role = QPalette::HighlightedText; break;
        case 15: role = QPalette::Button; break;          // button face
        case 18: role = QPalette::ButtonText; break;
        default: return std::nullopt;
        }
        return QGuiApplication::palette().color(role);
    }
    if (bits > 0xFFFFFFu)
        return std::nullopt;
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

QRect storedGeometry(const QWidget &window)
{
    if (window.isMaximized() || window.isFullScreen() || window.isMinimized()) {
        const QRect normal = window.normalGeometry();
        if (normal.isValid())
            return normal;
    }
    return window.geometry();
}

// One side of the window in twips as a length in pixels, within the limits.
std::optional<int> toLength(const QString &field, bool mustBePositive)
{
    const std::optional<float> twips = SettingsFile::toSingle(field);
    if (!twips || std::abs(*twips) > float(kMaxLength) * Twips::kPerPixel)
        return std::nullopt;
    const int pixels = Twips::toPixels(*twips);
    if (mustBePositive && pixels < 1)
        return std::nullopt;
    return pixels;
}

// The place moved and sized to lie wholly within the area.
QRect fitToArea(const QRect &place, const QRect &area, const QSize &minimum)
{
    const int width = qBound(qMin(minimum.width(), area.width()), place.width(), area.width());
    const int height =
        qBound(qMin(minimum.height(), area.height()), place.height(), area.height());
    const int left = qBound(area.left(), place.left(), area.left() + area.width() - width);
    const int top = qBound(area.top(), place.top(), area.top() + area.height() - height);
    return QRect(left, top, width, height);
}

} // namespace

SettingsFile::Values collect(const SpeechSynth &synth, const QWidget &window,
                             const RichTextPad &pad)
{
    SettingsFile::Values v;
    v.speed = synth.speed();
    v.voiceValue = synth.volume();
    const QRect g = storedGeometry(window);
    v.width = float(Twips::fromPixels(g.width()));
    v.height = float(Twips::fromPixels(g.height()));
    v.left = float(Twips::fromPixels(g.x()));
    v.top = float(Twips::fromPixels(g.y()));
    v.backColor = toColorValue(pad.backColor());
    v.pitch = synth.pitch();
    v.fontName = pad.baseFontName();
    return v;
}

bool apply(const QStringList &fields, SpeechSynth &synth, QWidget &window, RichTextPad &pad)
{
    if (fields.size() < SettingsFile::kFieldCount)
        return false;

    const auto speed = SettingsFile::toWhole(fields.at(0));
    if (!speed || !synth.setSpeed(*speed))
        return false;
    const auto voiceValue = SettingsFile::toWhole(fields.at(1));
    if (!voiceValue || !synth.setVolume(*voiceValue))
        return false;

    // Each side takes effect on its own, as it is read.
    auto applyLength = [&window](const QString &field, bool size,
                                 void (QRect::*set)(int)) {
        const std::optional<int> pixels = toLength(field, size);
        if (!pixels)
            return false;
        QRect g = window.geometry();
        (g.*set)(*pixels);
        window.setGeometry(g);
        return true;
    };
    if (!applyLength(fields.at(2), true, &QRect::setWidth)
        || !applyLength(fields.at(3), true, &QRect::setHeight)
        || !applyLength(fields.at(4), false, &QRect::moveLeft)
        || !applyLength(fields.at(5), false, &QRect::moveTop))
        return false;

    const auto colorValue = SettingsFile::toWhole(fields.at(6));
    const auto color = colorValue ? fromColorValue(*colorValue) : std::nullopt;
    if (!color)
        return false;
    pad.setBackColor(*color);

    const auto pitch = SettingsFile::toWhole(fields.at(7));
    if (!pitch || !synth.setPitch(*pitch))
        return false;

    const QString fontName = fields.at(8);
    if (fontName.trimmed().isEmpty())
        return false;
    pad.setBaseFontName(fontName);
    return true;
}

void fitToScreen(QWidget &window, const QSize &minimum)
{
    const QRect place = window.geometry();
    const QScreen *screen = QGuiApplication::screenAt(place.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect fitted = fitToArea(place, screen->availableGeometry(), minimum);
    if (fitted != place)
        window.setGeometry(fitted);
}

} // namespace WindowSettings
