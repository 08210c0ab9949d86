#ifndef NSOPENGLVIDEOVIEW_H
#define NSOPENGLVIDEOVIEW_H

#include "engine/qvideoframegate.h"

#include <QOpenGLFunctions_2_0>
#include <QOpenGLWidget>

#include <memory>

// Shows decoded frames: packed BGRA as one textured quad, planar YUV 4:2:0 converted by a shader.
// The show calls run on the decoder's thread and only copy; all GL work runs on the main thread.
class NSOpenGLVideoView : public QOpenGLWidget, protected QOpenGLFunctions_2_0
{
    Q_OBJECT

public:
    explicit NSOpenGLVideoView(QWidget *parent = nullptr);
    ~NSOpenGLVideoView() override;

    void reshape();
    // A null pointer asks to clear the picture. False when the frame is refused.
    bool showImage(unsigned char *data, int width, int height, int stride);
    bool showYUVImage(unsigned char **planes, int width, int height, int *strides);

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
    void setPictureSize(const Frame &frame, int powerWidth, int powerHeight);
    void allocateTexture(GLenum unit, GLuint texture, GLint internalFormat, GLenum format, const void *pixels,
                         int divisor = 1);
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
    int mImageWidth = 0;
    int mImageHeight = 0;
    int mPowerWidth = 0;
    int mPowerHeight = 0;
    float mWidthScale = 1.0f;
    float mHeightScale = 1.0f;
    QVideoFrameGate mCount;
    // The newest frame that came before the context existed; uploaded once it does.
    std::unique_ptr<Frame> mPending;
};

#endif
