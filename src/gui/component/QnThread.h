#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

enum TOptionKind
{
    crCopy,
    crDelete,
    crFind
};

// The small animation at the top of the progress window: a sheet flying from folder to folder (copy), into
// the waste bin (delete), or a magnifier passing over a folder (find).
class TQnAnimate : public QWidget
{
    Q_OBJECT
public:
    explicit TQnAnimate(QWidget* parent = nullptr);
    void setKind(TOptionKind kind);
    TOptionKind kind() const { return m_kind; }
    void start();
    void stop();
    bool isRunning() const;
    int frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TOptionKind m_kind = crCopy;
    int m_frame = 0;
    QTimer* m_timer;
};

// The window "提示窗口" shown while a long loop runs: a caption, the animation, up to three bars and 停止.
// It is application-modal: no other window of the program takes input while it is shown, so nothing can be
// closed or changed under the running loop. It cannot be closed by the user; only the loop hides it.
class TThreadForm : public QDialog
{
    Q_OBJECT
public:
    explicit TThreadForm(QWidget* parent = nullptr);

    TQnAnimate* Animate() const { return m_animate; }
    QProgressBar* ProgressBar1() const { return m_bars[0]; }
    QProgressBar* ProgressBar2() const { return m_bars[1]; }
    QProgressBar* ProgressBar3() const { return m_bars[2]; }
    QPushButton* StopButton() const { return m_stop; }
    QProgressBar* bar(int n) const { return n >= 1 && n <= 3 ? m_bars[n - 1] : nullptr; }
    QLabel* CaptionLabel() const { return m_caption; }

    bool stopPressed() const { return m_stopped; }
    void resetStop() { m_stopped = false; }
    void allowClose() { m_closing = true; }
    // Places the bars shown, the caption and the animation.
    void layoutBars();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TQnAnimate* m_animate;
    QLabel* m_caption;
    QProgressBar* m_bars[3];
    QPushButton* m_stop;
    bool m_stopped = false;
    bool m_closing = false;
};

// The component a window places once (objectName "QnThread") to run a long loop under the progress window:
//     thread.setCaption("正在删除....."); thread.setKind(crDelete); thread.setShowStopButton(true);
//     thread.SetMax(n); thread.setProgressBar1(true); thread.ShowWindow();
//     for (int i = 0; i < n; ++i) { if (thread.Stopped()) break; thread.SetPosition(i + 1); ...step... }
//     thread.HideWindow();
class TQnThread : public QObject
{
    Q_OBJECT
public:
    explicit TQnThread(QObject* parent = nullptr);
    ~TQnThread() override;

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    bool ProgressBar1() const { return m_showBar[0]; }
    void setProgressBar1(bool on) { setBarShown(1, on); }
    bool ProgressBar2() const { return m_showBar[1]; }
    void setProgressBar2(bool on) { setBarShown(2, on); }
    bool ProgressBar3() const { return m_showBar[2]; }
    void setProgressBar3(bool on) { setBarShown(3, on); }
    bool Active() const { return m_active; }
    void setActive(bool on);
    TOptionKind Kind() const { return m_kind; }
    void setKind(TOptionKind kind) { m_kind = kind; }
    bool ShowStopButton() const { return m_showStop; }
    void setShowStopButton(bool on) { m_showStop = on; }

    // Window heights with and without the stop button.
    static constexpr int HeightWithStop = 194;
    static constexpr int HeightWithoutStop = 158;
    static constexpr int Width = 355;

    void ShowWindow();
    void HideWindow();
    // Maximum of ProgressBar1 (position back to 0); remembered for the next ShowWindow when hidden.
    void SetMax(int n) { setBarMax(1, n); }
    void SetPosition(int n) { setBarPosition(1, n); }
    // The same for bars 2 and 3, for loops within loops.
    void setBarMax(int bar, int n);
    void setBarPosition(int bar, int n);
    void setBarShown(int bar, bool on);
    // Lets pending events run (repaint, the stop button), then tells whether 停止 was pressed since the
    // window was shown. False when no window is shown.
    bool Stopped();

    TThreadForm* form() const { return m_form; }

private:
    QString m_caption;
    bool m_showBar[3] = {false, false, false};
    int m_max[3] = {100, 100, 100};
    bool m_active = false;
    TOptionKind m_kind = crCopy;
    bool m_showStop = false;
    QPointer<TThreadForm> m_form;
    bool m_cursorSet = false;
};
