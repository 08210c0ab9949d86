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

// Sizes of a frame's copy: the planes back to back, each with its own stride.
size_t planeBytes(int stride, int rows)
{
    return size_t(stride) * size_t(rows);
}

}

// A private copy of one frame in a pooled buffer; no buffer means a request to clear.
struct NSOpenGLVideoView::Frame
{
    bool planar = false;
    int width = 0;
    int height = 0;
    int strides[3] = {0, 0, 0};
    const unsigned char *planes[3] = {nullptr, nullptr, nullptr};
    QVideoFramePool::Buffer buffer;
};

NSOpenGLVideoView::NSOpenGLVideoView(QWindow *parent)
    : QOpenGLWindow(QOpenGLWindow::NoPartialUpdate, parent)
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
    const qreal ratio = devicePixelRatio();
    glViewport(0, 0, int(width() * ratio), int(height() * ratio));
}

bool NSOpenGLVideoView::showImage(unsigned char *data, int width, int height, int stride)
{
    if (!mCount.enter(!data, "showImage too slow..."))
        return false;
    std::unique_ptr<Frame> frame(new (std::nothrow) Frame);
    if (frame && data) {
        if (QVideoFrameGate::packedFits(width, height, stride))
            frame->buffer = mPool.take(planeBytes(stride, height));
        if (!frame->buffer) {
            frame.reset();
        } else {
            std::memcpy(frame->buffer.get(), data, planeBytes(stride, height));
            frame->width = width;
            frame->height = height;
            frame->strides[0] = stride;
            frame->planes[0] = frame->buffer.get();
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
        const int chromaHeight = (height + 1) / 2;
        if (planes[0] && planes[1] && planes[2] && strides && QVideoFrameGate::planarFits(width, height, strides)) {
            const size_t sizes[3] = {planeBytes(strides[0], height), planeBytes(strides[1], chromaHeight),
                                     planeBytes(strides[2], chromaHeight)};
            frame->buffer = mPool.take(sizes[0] + sizes[1] + sizes[2]);
            unsigned char *copy = frame->buffer.get();
            for (int i = 0; copy && i < 3; ++i) {
                std::memcpy(copy, planes[i], sizes[i]);
                frame->planes[i] = copy;
                copy += sizes[i];
            }
        }
        if (!frame->buffer) {
            frame.reset();
        } else {
            frame->width = width;
            frame->height = height;
            std::copy(strides, strides + 3, frame->strides);
        }
    }
    return queueFrame(std::move(frame));
}

long long NSOpenGLVideoView::shownCount() const
{
    return mShown.load();
}

long long NSOpenGLVideoView::droppedCount() const
{
    return mCount.dropped();
}

int NSOpenGLVideoView::bufferCount() const
{
    return mPool.allocated();
}

bool NSOpenGLVideoView::queueFrame(std::unique_ptr<Frame> frame)
{
    if (!frame) {
        mCount.leave();
        mCount.countDropped();
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
    if (frame->buffer)
        ++mShown;
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
    if (!frame.buffer) {
        mImageWidth = 0;
        mImageHeight = 0;
    } else if (frame.planar) {
        uploadYUVImage(frame);
    } else {
        uploadImage(frame);
    }
}

void NSOpenGLVideoView::uploadImage(const Frame &frame)
{
    if (!mTexture) {
        glActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_2D);
        glUseProgram(0);
        glGenTextures(1, &mTexture);
    }
    if (frame.width != mImageWidth || frame.height != mImageHeight) {
        if (!fitsTexture(frame.width, frame.height))
            return;
        setPictureSize(frame, frame.width, frame.height);
        allocateTexture(GL_TEXTURE0, mTexture, GL_RGBA, GL_BGRA, frame.width, frame.height);
    }
    uploadPlane(GL_TEXTURE0, mTexture, GL_BGRA, frame.planes[0], frame.strides[0] / 4, frame.width, frame.height);
}

void NSOpenGLVideoView::uploadYUVImage(const Frame &frame)
{
    const int chromaWidth = (frame.width + 1) / 2;
    const int chromaHeight = (frame.height + 1) / 2;
    if (!mProgram)
        buildProgram();
    if (frame.width != mImageWidth || frame.height != mImageHeight) {
        // Luma twice the chroma on each side, so both meet the same texture coordinates.
        if (!fitsTexture(2 * chromaWidth, 2 * chromaHeight))
            return;
        setPictureSize(frame, 2 * chromaWidth, 2 * chromaHeight);
        allocateTexture(GL_TEXTURE0, mTextureY, GL_LUMINANCE, GL_LUMINANCE, 2 * chromaWidth, 2 * chromaHeight);
        allocateTexture(GL_TEXTURE1, mTextureU, GL_LUMINANCE, GL_LUMINANCE, chromaWidth, chromaHeight);
        allocateTexture(GL_TEXTURE2, mTextureV, GL_LUMINANCE, GL_LUMINANCE, chromaWidth, chromaHeight);
    }
    uploadPlane(GL_TEXTURE0, mTextureY, GL_LUMINANCE, frame.planes[0], frame.strides[0], frame.width, frame.height);
    uploadPlane(GL_TEXTURE1, mTextureU, GL_LUMINANCE, frame.planes[1], frame.strides[1], chromaWidth, chromaHeight);
    uploadPlane(GL_TEXTURE2, mTextureV, GL_LUMINANCE, frame.planes[2], frame.strides[2], chromaWidth, chromaHeight);
    // An odd height gets its last row twice, so filtering at the bottom edge meets the picture.
    if (frame.height & 1) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, frame.height, frame.width, 1, GL_LUMINANCE, GL_UNSIGNED_BYTE,
                        frame.planes[0] + planeBytes(frame.strides[0], frame.height - 1));
    }
}

// Updates a texture from rows of rowLength texels, of which the first width are the picture.
void NSOpenGLVideoView::uploadPlane(GLenum unit, GLuint texture, GLenum format, const unsigned char *data,
                                    int rowLength, int width, int height)
{
    glActiveTexture(unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE, data);
}

void NSOpenGLVideoView::setPictureSize(const Frame &frame, int textureWidth, int textureHeight)
{
    mImageWidth = frame.width;
    mImageHeight = frame.height;
    mWidthScale = float(mImageWidth) / textureWidth;
    mHeightScale = float(mImageHeight) / textureHeight;
}

// Storage is made once per picture size; every picture after that only replaces texels.
void NSOpenGLVideoView::allocateTexture(GLenum unit, GLuint texture, GLint internalFormat, GLenum format, int width,
                                        int height)
{
    glActiveTexture(unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, GL_UNSIGNED_BYTE, nullptr);
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
    reshape();
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
}

void NSOpenGLVideoView::forgetState()
{
    mTexture = mTextureY = mTextureU = mTextureV = 0;
    mProgram = mVexShader = mFrgShader = 0;
    mImageWidth = mImageHeight = 0;
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
