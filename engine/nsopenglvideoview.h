#ifndef NSOPENGLVIDEOVIEW_H
#define NSOPENGLVIDEOVIEW_H

#include "engine/qvideoframegate.h"
#include "engine/qvideoframepool.h"

#include <QOpenGLFunctions_2_0>
#include <QOpenGLWindow>

#include <atomic>
#include <memory>

// Shows decoded frames: packed BGRA as one textured quad, planar YUV 4:2:0 converted by a shader.
// The show calls run on the decoder's thread and only copy into pooled buffers; all GL work runs on the
// main thread, drawing straight into the window.
class NSOpenGLVideoView : public QOpenGLWindow, protected QOpenGLFunctions_2_0
{
    Q_OBJECT

public:
    explicit NSOpenGLVideoView(QWindow *parent = nullptr);
    ~NSOpenGLVideoView() override;

    void reshape();
    // A null pointer asks to clear the picture. False when the frame is refused.
    bool showImage(unsigned char *data, int width, int height, int stride);
    bool showYUVImage(unsigned char **planes, int width, int height, int *strides);

    // Pictures put into the textures, and pictures refused for want of room or memory.
    long long shownCount() const;
    long long droppedCount() const;
    // Buffers made so far to carry pictures of the current size.
    int bufferCount() const;

signals:
    // A frame was refused while nine waited, and one of those has been shown since.
    void emitFrameDropped();

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    struct Frame;

    bool queueFrame(std::unique_ptr<Frame> frame);
    void showFrame(std::unique_ptr<Frame> frame);
    void upload(const Frame &frame);
    void uploadImage(const Frame &frame);
    void uploadYUVImage(const Frame &frame);
    bool fitsTexture(int width, int height);
    void setPictureSize(const Frame &frame, int textureWidth, int textureHeight);
    void allocateTexture(GLenum unit, GLuint texture, GLint internalFormat, GLenum format, int width, int height);
    void uploadPlane(GLenum unit, GLuint texture, GLenum format, const unsigned char *data, int rowLength,
                     int width, int height);
    void buildProgram();
    GLuint compileShader(GLenum type, const char *source);
    void discardLog(GLuint object, bool program);
    void forgetState();
    void reset();

    GLuint mTexture = 0;
    GLuint mTextureY = 0;
    GLuint mTextureU = 0;
    GLuint mTextureV = 0;
    GLuint mProgram = 0;
    GLuint mVexShader = 0;
    GLuint mFrgShader = 0;
    // Picture size the textures hold; 0 = nothing to draw.
    int mImageWidth = 0;
    int mImageHeight = 0;
    // Texture coordinates of the picture's right and bottom edges: planar textures have even sizes.
    float mWidthScale = 1.0f;
    float mHeightScale = 1.0f;
    QVideoFrameGate mCount;
    QVideoFramePool mPool;
    std::atomic<long long> mShown{0};
    // The newest frame that came before the context existed; uploaded once it does.
    std::unique_ptr<Frame> mPending;
};

#endif
