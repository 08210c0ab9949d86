#include "engine/nsopenglvideoview.h"

#include <QSurfaceFormat>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

const char kVertexSource[] =
    "attribute vec4 vPosition;\n"
    "attribute vec2 a_texCoord;\n"
    "varying vec2 tc;\n"
    "void main(void)\n"
    "{\n"
    "    gl_Position = vPosition;\n"
    "    tc = a_texCoord;\n"
    "}\n";

// BT.601 from limited-range YUV; the matrix is given column by column.
const char kFragmentSource[] =
    "varying vec2 tc;\n"
    "uniform sampler2D SamplerY;\n"
    "uniform sampler2D SamplerU;\n"
    "uniform sampler2D SamplerV;\n"
    "void main(void)\n"
    "{\n"
    "    vec3 yuv;\n"
    "    vec3 rgb;\n"
    "    yuv.x = texture2D(SamplerY, tc).r - 0.0625;\n"
    "    yuv.y = texture2D(SamplerU, tc).r - 0.5;\n"
    "    yuv.z = texture2D(SamplerV, tc).r - 0.5;\n"
    "    rgb = mat3(1.164, 1.164, 1.164, 0, -0.392, 2.017, 1.596, -0.813, 0) * yuv;\n"
    "    gl_FragColor = vec4(rgb, 1);\n"
    "}\n";

// Textures are powers of two and never smaller than 128 on a side.
int powerSize(int size)
{
    int power = 128;
    while (power < size)
        power <<= 1;
    return power;
}

unsigned char *allocate(int size)
{
    return new (std::nothrow) unsigned char[size];
}

}

// A private copy of one frame; no planes means a request to clear.
struct NSOpenGLVideoView::Frame
{
    bool planar = false;
    int width = 0;
    int height = 0;
    int strides[3] = {0, 0, 0};
    std::unique_ptr<unsigned char[]> planes[3];
};

NSOpenGLVideoView::NSOpenGLVideoView(QWidget *parent)
    : QOpenGLWidget(parent)
{
    // The shaders carry no version line and the quads are drawn in immediate mode.
    QSurfaceFormat surfaceFormat = format();
    surfaceFormat.setProfile(QSurfaceFormat::CompatibilityProfile);
    setFormat(surfaceFormat);
}

NSOpenGLVideoView::~NSOpenGLVideoView()
{
    reset();
}

void NSOpenGLVideoView::reshape()
{
    if (!isValid())
        return;
    makeCurrent();
    glViewport(0, 0, width(), height());
}

bool NSOpenGLVideoView::showImage(unsigned char *data, int width, int height, int stride)
{
    if (!mCount.enter(!data, "showImage too slow..."))
        return false;
    std::unique_ptr<Frame> frame(new (std::nothrow) Frame);
    if (frame && data) {
        if (QVideoFrameGate::packedFits(width, height, stride))
            frame->planes[0].reset(allocate(stride * height));
        if (!frame->planes[0]) {
            frame.reset();
        } else {
            std::memcpy(frame->planes[0].get(), data, size_t(stride) * height);
            frame->width = width;
            frame->height = height;
            frame->strides[0] = stride;
        }
    }
    return queueFrame(std::move(frame));
}

bool NSOpenGLVideoView::showYUVImage(unsigned char **planes, int width, int height, int *strides)
{
    if (!mCount.enter(!planes, "showYUVImage too slow..."))
        return false;
    std::unique_ptr<Frame> frame(new (std::nothrow) Frame);
    if (frame && planes) {
        frame->planar = true;
        const int evenHeight = height + (height & 1);
        bool copied = planes[0] && planes[1] && planes[2] && strides
            && QVideoFrameGate::planarFits(width, height, strides);
        for (int i = 0; copied && i < 3; ++i) {
            const int rows = i == 0 ? evenHeight : evenHeight / 2;
            frame->planes[i].reset(allocate(strides[i] * rows));
            copied = frame->planes[i] != nullptr;
        }
        if (!copied) {
            frame.reset();
        } else {
            unsigned char *y = frame->planes[0].get();
            const size_t strideY = size_t(strides[0]);
            std::memcpy(y, planes[0], strideY * height);
            // An odd height gets its last row twice, so filtering at the bottom edge meets the picture.
            if (height & 1)
                std::memcpy(y + strideY * height, y + strideY * (height - 1), strideY);
            const int chromaWidth = (width + 1) / 2;
            for (int i = 1; i < 3; ++i) {
                unsigned char *chroma = frame->planes[i].get();
                std::memcpy(chroma, planes[i], size_t(strides[i]) * (evenHeight / 2));
                // Neutral chroma right of the picture, so filtering at the edge adds no colour.
                for (int row = 0; row < evenHeight / 2; ++row)
                    std::memset(chroma + size_t(strides[i]) * row + chromaWidth, 128, strides[i] - chromaWidth);
            }
            frame->width = width;
            frame->height = height;
            std::copy(strides, strides + 3, frame->strides);
        }
    }
    return queueFrame(std::move(frame));
}

bool NSOpenGLVideoView::queueFrame(std::unique_ptr<Frame> frame)
{
    if (!frame) {
        mCount.leave();
        return false;
    }
    // The call owns the copy, so a view deleted before it runs frees the frame with it.
    QMetaObject::invokeMethod(
        this, [this, queued = std::move(frame)]() mutable { showFrame(std::move(queued)); },
        Qt::QueuedConnection);
    return true;
}

void NSOpenGLVideoView::showFrame(std::unique_ptr<Frame> frame)
{
    const bool dropped = mCount.handled();
    if (!isValid()) {
        mPending = std::move(frame);
    } else {
        makeCurrent();
        upload(*frame);
        update();
    }
    if (dropped)
        emit emitFrameDropped();
}

void NSOpenGLVideoView::upload(const Frame &frame)
{
    if (!frame.planes[0]) {
        mImageWidth = 0;
        mImageHeight = 0;
        mPowerWidth = 0;
        mPowerHeight = 0;
    } else if (frame.planar) {
        uploadYUVImage(frame);
    } else {
        uploadImage(frame);
    }
}

void NSOpenGLVideoView::uploadImage(const Frame &frame)
{
    const int stride = frame.strides[0];
    if (!mTexture) {
        glActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_2D);
        glUseProgram(0);
        glGenTextures(1, &mTexture);
    }
    if (frame.width != mImageWidth || frame.height != mImageHeight || stride > 4 * mPowerWidth) {
        const int powerWidth = powerSize(stride / 4);
        const int powerHeight = powerSize(frame.height);
        if (!fitsTexture(powerWidth, powerHeight))
            return;
        setPictureSize(frame, powerWidth, powerHeight);
        allocateTexture(GL_TEXTURE0, mTexture, GL_RGBA, GL_BGRA, nullptr);
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, mTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, stride / 4, frame.height, GL_BGRA, GL_UNSIGNED_BYTE,
                    frame.planes[0].get());
}

void NSOpenGLVideoView::uploadYUVImage(const Frame &frame)
{
    const int *strides = frame.strides;
    const int evenHeight = frame.height + (frame.height & 1);
    if (!mProgram)
        buildProgram();
    if (frame.width != mImageWidth || frame.height != mImageHeight || strides[0] > mPowerWidth
        || strides[1] > mPowerWidth / 2 || strides[2] > mPowerWidth / 2) {
        const int powerWidth = powerSize(qMax(strides[0], 2 * qMax(strides[1], strides[2])));
        const int powerHeight = powerSize(frame.height);
        if (!fitsTexture(powerWidth, powerHeight))
            return;
        // Limited-range black in Y, neutral chroma in U and V.
        const int lumaSize = powerWidth * powerHeight;
        std::unique_ptr<unsigned char[]> scratch(allocate(lumaSize));
        if (!scratch)
            return;
        setPictureSize(frame, powerWidth, powerHeight);
        std::memset(scratch.get(), 16, lumaSize);
        allocateTexture(GL_TEXTURE0, mTextureY, GL_LUMINANCE, GL_LUMINANCE, scratch.get());
        std::memset(scratch.get(), 128, lumaSize / 4);
        allocateTexture(GL_TEXTURE1, mTextureU, GL_LUMINANCE, GL_LUMINANCE, scratch.get(), 2);
        allocateTexture(GL_TEXTURE2, mTextureV, GL_LUMINANCE, GL_LUMINANCE, scratch.get(), 2);
    }
    const GLuint textures[] = {mTextureY, mTextureU, mTextureV};
    for (int i = 0; i < 3; ++i) {
        glActiveTexture(GL_TEXTURE0 + i);
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, strides[i], i == 0 ? evenHeight : evenHeight / 2, GL_LUMINANCE,
                        GL_UNSIGNED_BYTE, frame.planes[i].get());
    }
}

void NSOpenGLVideoView::setPictureSize(const Frame &frame, int powerWidth, int powerHeight)
{
    mPowerWidth = powerWidth;
    mPowerHeight = powerHeight;
    mImageWidth = frame.width;
    mImageHeight = frame.height;
    mWidthScale = float(mImageWidth) / mPowerWidth;
    mHeightScale = float(mImageHeight) / mPowerHeight;
}

// Defines the texture at the allocated size, divided by divisor on each side.
void NSOpenGLVideoView::allocateTexture(GLenum unit, GLuint texture, GLint internalFormat, GLenum format,
                                        const void *pixels, int divisor)
{
    glActiveTexture(unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, mPowerWidth / divisor, mPowerHeight / divisor, 0, format,
                 GL_UNSIGNED_BYTE, pixels);
}

// A frame beyond the largest texture is dropped; the last picture stays.
bool NSOpenGLVideoView::fitsTexture(int width, int height)
{
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return width <= largest && height <= largest;
}

void NSOpenGLVideoView::buildProgram()
{
    glEnable(GL_TEXTURE_2D);
    const GLuint vertexShader = compileShader(GL_VERTEX_SHADER, kVertexSource);
    if (!vertexShader)
        return;
    const GLuint fragmentShader = compileShader(GL_FRAGMENT_SHADER, kFragmentSource);
    if (!fragmentShader) {
        glDeleteShader(vertexShader);
        return;
    }
    const GLuint program = glCreateProgram();
    if (!program) {
        glDeleteShader(vertexShader);
        glDeleteShader(fragmentShader);
        return;
    }
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glBindAttribLocation(program, 0, "vPosition");
    glBindAttribLocation(program, 1, "a_texCoord");
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        discardLog(program, true);
        glDeleteProgram(program);
        glDeleteShader(vertexShader);
        glDeleteShader(fragmentShader);
        return;
    }
    mVexShader = vertexShader;
    mFrgShader = fragmentShader;
    mProgram = program;
    glUseProgram(mProgram);
    glGenTextures(1, &mTextureY);
    glGenTextures(1, &mTextureU);
    glGenTextures(1, &mTextureV);
}

GLuint NSOpenGLVideoView::compileShader(GLenum type, const char *source)
{
    const GLuint shader = glCreateShader(type);
    if (!shader)
        return 0;
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled)
        return shader;
    discardLog(shader, false);
    glDeleteShader(shader);
    return 0;
}

// The log is fetched to clear it and then dropped: a failed build only means nothing is drawn.
void NSOpenGLVideoView::discardLog(GLuint object, bool program)
{
    GLint length = 0;
    if (program)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return;
    std::unique_ptr<char[]> log(new (std::nothrow) char[length]);
    if (!log)
        return;
    if (program)
        glGetProgramInfoLog(object, length, nullptr, log.get());
    else
        glGetShaderInfoLog(object, length, nullptr, log.get());
}

void NSOpenGLVideoView::initializeGL()
{
    initializeOpenGLFunctions();
    // A new context holds none of the names of an earlier one.
    forgetState();
    if (mPending) {
        upload(*mPending);
        mPending.reset();
    }
}

void NSOpenGLVideoView::paintGL()
{
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    if (mImageWidth && mImageHeight) {
        if (mTexture) {
            glUseProgram(0);
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, mTexture);
            glBegin(GL_QUADS);
            glTexCoord2f(0, 0);
            glVertex3f(-1, 1, 0);
            glTexCoord2f(0, mHeightScale);
            glVertex3f(-1, -1, 0);
            glTexCoord2f(mWidthScale, mHeightScale);
            glVertex3f(1, -1, 0);
            glTexCoord2f(mWidthScale, 0);
            glVertex3f(1, 1, 0);
            glEnd();
        } else if (mProgram) {
            const GLfloat positions[] = {-1, -1, 1, -1, -1, 1, 1, 1};
            const GLfloat coords[] = {0, mHeightScale, mWidthScale, mHeightScale, 0, 0, mWidthScale, 0};
            glUseProgram(mProgram);
            glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, positions);
            glEnableVertexAttribArray(0);
            glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, coords);
            glEnableVertexAttribArray(1);
            const GLuint textures[] = {mTextureY, mTextureU, mTextureV};
            const char *samplers[] = {"SamplerY", "SamplerU", "SamplerV"};
            for (int i = 0; i < 3; ++i) {
                const GLint location = glGetUniformLocation(mProgram, samplers[i]);
                glActiveTexture(GL_TEXTURE0 + i);
                glBindTexture(GL_TEXTURE_2D, textures[i]);
                glUniform1i(location, i);
            }
            glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        }
    }
    glFlush();
}

void NSOpenGLVideoView::forgetState()
{
    mTexture = mTextureY = mTextureU = mTextureV = 0;
    mProgram = mVexShader = mFrgShader = 0;
    mImageWidth = mImageHeight = mPowerWidth = mPowerHeight = 0;
    mWidthScale = mHeightScale = 1.0f;
}

void NSOpenGLVideoView::reset()
{
    if (!isValid())
        return;
    makeCurrent();
    for (GLuint *texture : {&mTexture, &mTextureY, &mTextureU, &mTextureV}) {
        if (*texture)
            glDeleteTextures(1, texture);
    }
    if (mProgram)
        glDeleteProgram(mProgram);
    if (mVexShader)
        glDeleteShader(mVexShader);
    if (mFrgShader)
        glDeleteShader(mFrgShader);
    forgetState();
    doneCurrent();
}
