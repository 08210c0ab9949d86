#ifndef QZRBASEPROGRESS_H
#define QZRBASEPROGRESS_H

#include <QColor>
#include <QPair>
#include <QVector>
#include <QWidget>

class QZRBaseProgressPrivate;

// A progress display: a horizontal or vertical bar drawn from a track image and a fill image (or
// palette colours as rounded shapes without them), or a ring.
class QZRBaseProgress : public QWidget
{
    Q_OBJECT

public:
    enum ProgressPolicy { Horizontal = 1, Vertical = 2, Ring = 3 };
    enum BarStyle { Donut = 0, Pie = 1, Line = 2 };

    explicit QZRBaseProgress(QWidget *parent = nullptr);
    ~QZRBaseProgress() override;

    void setProgressPolicy(ProgressPolicy policy);
    ProgressPolicy progressPolicy() const;
    void setBarStyle(BarStyle style);
    BarStyle barStyle() const;
    bool setBottomImage(QString path);
    bool setTopImage(QString path);

    double value() const;
    double minimum() const;
    double maximum() const;

    void setFormat(const QString &format);
    void resetFormat();
    QString format() const;
    QString getFormatValue() const;
    void setDecimals(int decimals);
    int decimals() const;
    void setTextAlignment(int alignment);
    void setTextOffset(float x, float y);
    void setCircle(bool on);
    void setCircleLenght(int length);
    void setOffset(int tl, int rb);
    int getTLOffset() const;
    int getRBOffset() const;
    void setOutlinePenWidth(double width);
    double outlinePenWidth() const;
    void setDataPenWidth(double width);
    double dataPenWidth() const;
    void setNullPosition(double position);
    double nullPosition() const;
    void setDataColors(const QVector<QPair<double, QColor> > &stops);
    void setUpdateInterval(int ms);
    // Length of the rounded ends of a bar.
    int getDefaultCircle();

signals:
    void valueChanged(double value);

public slots:
    void setRange(double min, double max);
    void setMinimum(double min);
    void setMaximum(double max);
    void setValue(double val);
    void setValue(int val);

protected:
    virtual void DrawBackground(QPainter &painter);
    virtual void DrawBottomImage(QPainter &painter, int c);
    virtual void DrawTopImage(QPainter &painter, QImage &image, int c);
    virtual void DrawProgress(QPainter &painter);
    virtual void DrawProgressText(QPainter &painter);
    virtual QString valueToText(double value) const;
    virtual void valueFormatChanged();
    virtual void drawBase(QPainter &painter, const QRectF &rect);
    virtual void drawRoundValue(QPainter &painter, const QRectF &rect, double value, double arc);
    virtual void calculateInnerRect(const QRectF &rect, double outerRadius, QRectF &innerRect, double &innerRadius);
    virtual void drawInnerBackground(QPainter &painter, const QRectF &innerRect);

    void paintEvent(QPaintEvent *event) override;

    // Where the value lies between minimum and maximum, from 0 to 1; 0 for an empty range.
    double fraction(double value) const;
    QRect getBgRect() const;

private slots:
    void UpdateTime();

private:
    void rebuildBrush();
    void DrawCircleImage(QPainter &painter, QImage &image, const QRect &target, bool isFill, int c);
    void repaintNow();

    QZRBaseProgressPrivate *d;
};

#endif
