#include "status_light.h"

#include "glyph_painter.h"

#include <QPainter>
#include <QStringList>

#include <array>

namespace tamsel::widgets {

namespace {

/// The pictures of the lights, drawn as coloured lamps.
struct TLightPicture {
    int bitmap;
    QColor colour;
    TLampLook look;
};

constexpr int kLightSize = 18;

TLightPicture pictureOf(int bitmap) {
    static const std::array<TLightPicture, 9> kPictures = {{
        // Window lights: data valid, request pending, error.
        {4600, QColor(0x50, 0x50, 0x50), TLampLook::kOff},
        {4601, QColor(0x2e, 0xd0, 0x3c), TLampLook::kOn},
        {4602, QColor(0xf0, 0xb0, 0x20), TLampLook::kOn},
        {4603, QColor(0xe8, 0x2a, 0x1e), TLampLook::kOn},
        {4604, QColor(0x30, 0x80, 0xf0), TLampLook::kOn},
        // Power light: off, on.
        {4500, QColor(0x2e, 0xd0, 0x3c), TLampLook::kOff},
        {4501, QColor(0x2e, 0xd0, 0x3c), TLampLook::kOn},
        // Error light: no error, error.
        {4700, QColor(0xe8, 0x2a, 0x1e), TLampLook::kOff},
        {4701, QColor(0xe8, 0x2a, 0x1e), TLampLook::kOn},
    }};
    for (const TLightPicture& picture : kPictures) {
        if (picture.bitmap == bitmap) {
            return picture;
        }
    }
    return {bitmap, QColor(0xc0, 0xc0, 0xc0), TLampLook::kOn};
}

} // namespace

TLightTemplate parseLightTemplate(const QString& text) {
    const QStringList words = text.simplified().split(u' ');
    TLightTemplate read;
    if (words.size() < 2) {
        return read;
    }
    bool countRead = false;
    bool bitmapRead = false;
    const int count = words[0].toInt(&countRead);
    const int firstBitmap = words[1].toInt(&bitmapRead);
    if (countRead && bitmapRead && count >= 0) {
        read.count = count;
        read.firstBitmap = firstBitmap;
    }
    return read;
}

TStatusLight::TStatusLight(const QString& templateText, bool alwaysVisible, QWidget* parent)
    : QWidget(parent), m_template(parseLightTemplate(templateText)),
      m_alwaysVisible(alwaysVisible) {
    // Hidden explicitly, so that the light stays hidden when its window is shown.
    if (!m_alwaysVisible) {
        hide();
    }
}

void TStatusLight::setState(int state) {
    if (state > m_template.count || state < 0) {
        state = 0;
    }
    if (state == m_state) {
        return;
    }
    m_state = state;
    setVisible(m_state != 0 || m_alwaysVisible);
    update();
}

QSize TStatusLight::sizeHint() const {
    return {kLightSize, kLightSize};
}

void TStatusLight::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const TLightPicture picture = pictureOf(bitmapId());
    const int side = qMin(width(), height());
    const QRect square((width() - side) / 2, (height() - side) / 2, side, side);
    // The lamp takes about two thirds of its cell; a light is a bigger lamp alone.
    paintLamp(painter, square.adjusted(-side / 5, -side / 5, side / 5, side / 5), picture.look,
              picture.colour);
}

} // namespace tamsel::widgets
