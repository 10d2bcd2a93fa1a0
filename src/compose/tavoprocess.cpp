#include "compose/tavoprocess.h"

#include "compose/applyrenderer.h"
#include "config/configstore.h"

#include <QBitmap>
#include <QLabel>
#include <QMovie>

namespace korvo::compose {

TavoProcessDialog::TavoProcessDialog(QWidget* parent)
    : QDialog(parent), pixmap_(programDirPath() + QStringLiteral("/skin/process.png"))
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::Dialog);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(128, 128);
    if (pixmap_.isNull())
        qDebug("Unable to load the wait picture.\n");
    else
        setMask(pixmap_.mask());
    label_ = new QLabel(this);
    label_->setGeometry(0, 0, 128, 128);
    movie_ = new QMovie(QStringLiteral("://skins/loading.gif"), QByteArray(), this);
    label_->setMovie(movie_);
    movie_->start();
    if (parent) {
        const QRect area = parent->geometry();
        move(area.center() - rect().center());
    }
}

void TavoProcessDialog::slotProcessDlg()
{
    accept();
}

TavoProcessThread::TavoProcessThread(const LayoutState& working, const QImage& previewBackground, QSize widgetSize,
                                     int pauseMs, QObject* parent)
    : QThread(parent), working_(working), background_(previewBackground), widgetSize_(widgetSize), pauseMs_(pauseMs)
{
}

TavoProcessThread::~TavoProcessThread()
{
    wait();
    finished_.load(std::memory_order_acquire);
}

void TavoProcessThread::stop()
{
    stop_.store(true);
}

bool TavoProcessThread::succeeded() const
{
    return finished_.load(std::memory_order_acquire) && succeeded_.load();
}

void TavoProcessThread::run()
{
    apply();
    finished_.store(true, std::memory_order_release);
}

void TavoProcessThread::apply()
{
    if (stop_.load()) {
        qDebug("isStop.\n");
        return;
    }
    // The pause lets the wait dialog appear before the screen blanks under the new frame.
    if (pauseMs_ > 0)
        msleep(pauseMs_);
    succeeded_.store(applyLayout(working_, background_, widgetSize_));
    emit DoProcessDlg();
}

} // namespace korvo::compose
