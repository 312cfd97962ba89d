#pragma once

#include "DialogBase.h"

#include <QElapsedTimer>
#include <QMediaCaptureSession>
#include <QString>

#include <memory>
#include <optional>

class QCamera;
class QVideoFrame;
class QVideoSink;

namespace Ui
{
class CameraScanWindow;
}

// The camera's picture with the EAN-13 of a book read from it as soon as one is in sight; offered
// only on a machine that has a camera.
class CameraScanWindow : public DialogBase
{
    Q_OBJECT
public:
    explicit CameraScanWindow(QWidget *parent = nullptr);
    ~CameraScanWindow() override;

    static bool cameraPresent();
    // Shows the camera and waits: the digits read, or nothing when the user cancels.
    static std::optional<QString> scan(QWidget *parent);

    // Where the frames arrive, from the camera (or from a test).
    QVideoSink *videoSink() const;
    QString digits() const { return m_digits; }
    void applyLanguage();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void frameArrived(const QVideoFrame &frame);
    void cameraFailed();

    std::unique_ptr<Ui::CameraScanWindow> ui;
    QCamera *m_camera = nullptr;
    QMediaCaptureSession m_session;
    QElapsedTimer m_sinceRead;
    QString m_digits;
};
