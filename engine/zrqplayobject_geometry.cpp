#include "engine/zrqplayobject.h"

#include "codec/rqcodec.h"
#include "engine/qmediaelementwindow.h"
#include "services/gcd.h"

#include <QImage>
#include <QtEndian>

namespace {

// A source size cut to the crop fraction in 16.16 fixed point, kept even and at least 2.
int croppedSize(int size, double fraction)
{
    fraction = qBound(0.0, fraction, 1.0);
    const uint64_t fixed = uint64_t(fraction * 65536 + 0.5);
    if (fixed != 65536) {
        const uint64_t cut = (fixed * uint64_t(qMax(size, 0)) + 65536) >> 16;
        if (cut < uint64_t(qMax(size, 0)))
            size = int(cut) & ~1;
    }
    return qMax(size, 2);
}

// Rounds up to the next even number.
uint64_t evenUp(uint64_t value)
{
    return (value + 1) & ~uint64_t(1);
}

}

int VideoFrameLoop(void *context, void *frame)
{
    return static_cast<ZRQPlayObject *>(context)->DrawVideoFrame(frame);
}

bool ZRQPlayObject::hasVideo()
{
    return m_player && codecHasVideo(m_player) == 1;
}

void ZRQPlayObject::getPlayModeInfo()
{
    if (m_playWindow) {
        m_nWidth = m_playWindow->width();
        m_nHeight = m_playWindow->height();
    }
    m_aspectNum = codecGetDisplayAspectNum(m_player);
    m_aspectDen = codecGetDisplayAspectDen(m_player);
    codecSetOutputAspect(m_player, m_aspectNum, m_aspectDen);
}

void ZRQPlayObject::sendCropRect(const PictureRect &rect)
{
    codecSetCropRect(m_player, rect.x, rect.y, rect.width, rect.height);
}

void ZRQPlayObject::sendPaneAspect()
{
    if (m_rotate % 180 == 0)
        codecSetOutputAspect(m_player, uint32_t(m_nWidth), uint32_t(m_nHeight));
    else
        codecSetOutputAspect(m_player, uint32_t(m_nHeight), uint32_t(m_nWidth));
}

void ZRQPlayObject::setAspectRatio(RatioType type)
{
    if (!hasVideo())
        return;
    m_ratio = type;
    const int width = croppedSize(codecGetVideoWidth(m_player), m_crop.width);
    const int height = croppedSize(codecGetVideoHeight(m_player), m_crop.height);

    switch (type) {
    case RatioType_Source:
        m_forceAspectNum = 0;
        m_forceAspectDen = 0;
        break;
    case RatioType_PixelSize:
        m_forceAspectNum = uint32_t(codecGetVideoWidth(m_player));
        m_forceAspectDen = uint32_t(codecGetVideoHeight(m_player));
        break;
    case RatioType_16_9:
        m_forceAspectNum = 16;
        m_forceAspectDen = 9;
        break;
    case RatioType_4_3:
        m_forceAspectNum = 4;
        m_forceAspectDen = 3;
        break;
    case RatioType_9_16:
        m_forceAspectNum = 9;
        m_forceAspectDen = 16;
        break;
    case RatioType_3_4:
        m_forceAspectNum = 3;
        m_forceAspectDen = 4;
        break;
    default:
        m_forceAspectNum = 0;
        m_forceAspectDen = 0;
        m_ratio = RatioType_Source;
        break;
    }

    if (m_fillMode == 0) {
        uint32_t elementWidth = uint32_t(width);
        uint32_t elementHeight = uint32_t(height);
        if (m_forceAspectNum && m_forceAspectDen) {
            elementWidth = m_forceAspectNum;
            elementHeight = m_forceAspectDen;
        } else if (m_aspectNum && m_aspectDen) {
            const uint32_t p = uint32_t(codecGetVideoHeight(m_player)) * m_aspectNum;
            const uint32_t q = uint32_t(codecGetVideoWidth(m_player)) * m_aspectDen;
            // p == q covers a source of 0 x 0, whose gcd would be 0.
            if (p != q) {
                const uint32_t g = uint32_t(GCD(int(p), int(q)));
                const uint32_t a = p / g * uint32_t(width);
                const uint32_t b = q / g * uint32_t(height);
                if (a && b) {
                    const uint32_t reduce = uint32_t(GCD(int(a), int(b)));
                    elementWidth = a / reduce;
                    elementHeight = b / reduce;
                }
            }
        }
        if (m_playWindow) {
            if (m_rotate % 180 == 0)
                m_playWindow->setVideoElementSize(int(elementWidth), int(elementHeight));
            else
                m_playWindow->setVideoElementSize(int(elementHeight), int(elementWidth));
        }
        codecSetOutputAspect(m_player, m_forceAspectNum, m_forceAspectDen);
    } else if (m_fillMode == 1) {
        CalcCropPanScan();
        sendCropRect(m_panScan);
        sendPaneAspect();
        if (m_playWindow)
            m_playWindow->setVideoElementSize(m_nWidth, m_nHeight);
    }
}

void ZRQPlayObject::CalcCropPanScan()
{
    if (!hasVideo())
        return;
    const double sourceWidth = codecGetVideoWidth(m_player);
    const double sourceHeight = codecGetVideoHeight(m_player);
    const bool forced = m_forceAspectNum && m_forceAspectDen;

    double a = sourceWidth * m_crop.width;
    double b = sourceHeight * m_crop.height;
    if (forced && m_ratio != RatioType_PixelSize) {
        a = m_forceAspectNum;
        b = m_forceAspectDen;
    } else if (!forced && m_aspectNum && m_aspectDen) {
        const int p = int(m_aspectNum * uint32_t(sourceHeight));
        const int q = int(m_aspectDen * uint32_t(sourceWidth));
        const int g = GCD(p, q);
        if (g) {
            a = sourceWidth * (p / g) * m_crop.width;
            b = sourceHeight * (q / g) * m_crop.height;
        }
    }

    double scaledA;
    double scaledB;
    bool vertical;
    if (m_rotate % 180 == 0) {
        scaledA = a * m_nHeight;
        scaledB = b * m_nWidth;
        vertical = scaledA <= scaledB;
    } else {
        scaledA = a * m_nWidth;
        scaledB = b * m_nHeight;
        vertical = scaledA < scaledB;
    }

    m_panScan = m_crop;
    // An empty pane or picture has no shape to cut to: the whole crop is shown.
    if (scaledA <= 0 || scaledB <= 0)
        return;
    if (vertical) {
        m_panScan.height = scaledA * m_crop.height / scaledB;
        m_panScan.y = (m_crop.height - m_panScan.height) * 0.5 + m_crop.y;
    } else {
        m_panScan.width = scaledB * m_crop.width / scaledA;
        m_panScan.x = (m_crop.width - m_panScan.width) * 0.5 + m_crop.x;
    }
}

void ZRQPlayObject::setMode(int mode)
{
    if (!hasVideo())
        return;
    m_fillMode = mode;
    if (mode == 1) {
        CalcCropPanScan();
        sendCropRect(m_panScan);
        sendPaneAspect();
        if (m_playWindow)
            m_playWindow->setVideoElementSize(m_nWidth, m_nHeight);
    } else if (mode == 0) {
        sendCropRect(m_crop);
        codecSetOutputAspect(m_player, m_forceAspectNum, m_forceAspectDen);
    } else {
        sendCropRect(m_crop);
        if (m_playWindow)
            m_playWindow->setVideoElementSize(m_nWidth, m_nHeight);
        sendPaneAspect();
    }
    setAspectRatio(m_ratio);
}

void ZRQPlayObject::setRotate(int degree, int mirror)
{
    if (!hasVideo())
        return;
    m_rotate = degree;
    m_mirror = mirror;
    setMode(m_fillMode);
    codecSetRotation(m_player, m_rotate);
    codecSetFlip(m_player, m_mirror);
}

void ZRQPlayObject::setFlip(int degree, int mirror)
{
    if (!hasVideo())
        return;
    m_rotate = degree;
    m_mirror = mirror;
    codecSetRotation(m_player, degree);
    codecSetFlip(m_player, mirror);
}

void ZRQPlayObject::ResizeVideoWindow(bool keepScale)
{
    if (!m_playWindow)
        return;
    m_nWidth = m_playWindow->width();
    m_nHeight = m_playWindow->height();
    m_bKeepScale = keepScale;
    if (!m_player)
        return;
    if (keepScale)
        setMode(m_fillMode);
    else
        m_playWindow->setVideoSize(codecGetVideoWidth(m_player), codecGetVideoHeight(m_player));
}

QPair<uint32_t, uint32_t> ZRQPlayObject::getOriginalResolution()
{
    if (!m_player)
        return qMakePair(0u, 0u);
    return qMakePair(uint32_t(codecGetVideoWidth(m_player)), uint32_t(codecGetVideoHeight(m_player)));
}

QPair<uint32_t, uint32_t> ZRQPlayObject::getOriginalAspectRatio()
{
    if (!m_player)
        return qMakePair(0u, 0u);
    return qMakePair(codecGetDisplayAspectNum(m_player), codecGetDisplayAspectDen(m_player));
}

int ZRQPlayObject::DrawVideoFrame(void *frame)
{
    if (!m_playWindow)
        return 0;
    const int format = codecFrameGetFormat(frame);
    const int width = codecFrameGetWidth(frame);
    const int height = codecFrameGetHeight(frame);
    if (format == 0) {
        int strides[3];
        unsigned char *planes[3];
        for (int plane = 0; plane < 3; ++plane)
            strides[plane] = codecFrameGetLineSize(frame, plane);
        for (int plane = 0; plane < 3; ++plane)
            planes[plane] = codecFrameGetPlane(frame, plane);
        m_playWindow->showYUVImage(planes, width, height, strides);
        return 1;
    }
    if (format == 30) {
        const int stride = codecFrameGetLineSize(frame, 0);
        m_playWindow->showImage(codecFrameGetPlane(frame, 0), unsigned(width), unsigned(height), unsigned(stride));
        return 1;
    }
    return 0;
}

uint32_t ZRQPlayObject::snapshotLength(const unsigned char *block)
{
    const uint32_t fileHeader = 14;
    const uint32_t infoHeader = 40;
    if (block[0] != 'B' || block[1] != 'M')
        return 0;
    const uint32_t length = qFromLittleEndian<quint32>(block + 2);
    if (length < fileHeader + infoHeader)
        return 0;
    const uint32_t pixelOffset = qFromLittleEndian<quint32>(block + 10);
    const int32_t width = qFromLittleEndian<qint32>(block + 18);
    const int32_t height = qFromLittleEndian<qint32>(block + 22);
    const uint16_t bits = qFromLittleEndian<quint16>(block + 28);
    if (width <= 0 || height == 0 || (bits != 24 && bits != 32) || pixelOffset < fileHeader + infoHeader)
        return 0;
    const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
    const uint64_t needed = pixelOffset + stride * uint64_t(qAbs(int64_t(height)));
    return needed <= length ? uint32_t(needed) : 0;
}

bool ZRQPlayObject::Screenshots(QString outPath, QString format)
{
    if (!m_player)
        return false;
    const uint64_t num = codecGetDisplayAspectNum(m_player);
    const uint64_t den = codecGetDisplayAspectDen(m_player);
    uint64_t width = 0;
    uint64_t height = 0;
    if (num && den) {
        const uint64_t sourceWidth = uint64_t(qMax(codecGetVideoWidth(m_player), 0));
        const uint64_t sourceHeight = uint64_t(qMax(codecGetVideoHeight(m_player), 0));
        if (sourceHeight * num > sourceWidth * den) {
            width = evenUp(sourceHeight * num / den);
            height = sourceHeight;
        } else {
            height = evenUp(sourceWidth * den / num);
            width = sourceWidth;
        }
    }
    unsigned char *block = codecCaptureSnapshot(m_player, int(width), int(height), 0);
    if (!block)
        return false;
    bool saved = false;
    const uint32_t length = snapshotLength(block);
    QImage image;
    if (length && image.loadFromData(block, int(length)))
        saved = image.save(outPath, format.toUtf8().constData(), -1);
    codecFreeSnapshot(m_player, block);
    return saved;
}
