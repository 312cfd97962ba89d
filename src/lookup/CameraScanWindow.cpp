#include "CameraScanWindow.h"

#include "ui_CameraScanWindow.h"

#include "BarcodeImage.h"
#include "LangStr.h"

#include <QCamera>
#include <QDir>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoSink>
#include <QVideoWidget>

namespace
{
// A frame is read at most this often: reading takes a good part of it on a small machine.
constexpr qint64 kReadIntervalMs = 250;
// Frames are read at this width at most; a barcode held to the camera stays readable.
constexpr int kReadWidth = 1280;
} // namespace

CameraScanWindow::CameraScanWindow(QWidget *parent) : DialogBase(parent), ui(std::make_unique<Ui::CameraScanWindow>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    setThemedWidgets({ui->CameraTitleLb});
    m_session.setVideoOutput(ui->CameraView);
    connect(videoSink(), &QVideoSink::videoFrameChanged, this, &CameraScanWindow::frameArrived);
    connect(ui->CameraCancel, &QPushButton::clicked, this, &QDialog::reject);
    applyLanguage();
}

CameraScanWindow::~CameraScanWindow() = default;

bool CameraScanWindow::cameraPresent()
{
    // Asking the multimedia back end wakes all of it (sound included, which takes a while); a
    // machine without a video device has no camera to offer anyway.
    if (QDir(QStringLiteral("/dev")).entryList({QStringLiteral("video*")}, QDir::System).isEmpty())
        return false;
    return !QMediaDevices::videoInputs().isEmpty();
}

std::optional<QString> CameraScanWindow::scan(QWidget *parent)
{
    CameraScanWindow window(parent);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return window.digits();
}

QVideoSink *CameraScanWindow::videoSink() const
{
    return ui->CameraView->videoSink();
}

void CameraScanWindow::applyLanguage()
{
    ui->CameraTitleLb->setText(LangStr(QStringLiteral("lcamcap")));
    setWindowTitle(ui->CameraTitleLb->text());
    ui->CameraStatus->setText(LangStr(QStringLiteral("lcamhint")));
    ui->CameraCancel->setText(LangStr(QStringLiteral("lcancel")));
}

void CameraScanWindow::showEvent(QShowEvent *event)
{
    DialogBase::showEvent(event);
    m_digits.clear();
    const QCameraDevice device = QMediaDevices::defaultVideoInput();
    if (device.isNull())
        return;
    m_camera = new QCamera(device, this);
    connect(m_camera, &QCamera::errorOccurred, this, &CameraScanWindow::cameraFailed);
    m_session.setCamera(m_camera);
    m_camera->start();
}

void CameraScanWindow::hideEvent(QHideEvent *event)
{
    // The camera's light goes out with the window.
    if (m_camera) {
        m_camera->stop();
        m_session.setCamera(nullptr);
        m_camera->deleteLater();
        m_camera = nullptr;
    }
    DialogBase::hideEvent(event);
}

void CameraScanWindow::cameraFailed()
{
    ui->CameraStatus->setStyleSheet(QStringLiteral("color: red;"));
    ui->CameraStatus->setText(LangStr(QStringLiteral("ccamerror")).arg(m_camera ? m_camera->errorString() : QString()));
}

void CameraScanWindow::frameArrived(const QVideoFrame &frame)
{
    if (!m_digits.isEmpty() || !frame.isValid() || (m_sinceRead.isValid() && m_sinceRead.elapsed() < kReadIntervalMs))
        return;
    m_sinceRead.start();
    QImage image = frame.toImage();
    if (image.width() > kReadWidth)
        image = image.scaledToWidth(kReadWidth, Qt::SmoothTransformation);
    const QString digits = BarcodeImage::readEan13(image);
    if (digits.isEmpty())
        return;
    m_digits = digits;
    accept();
}
