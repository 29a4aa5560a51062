#pragma once
// The application: the start-up sequence with its refusals, the long-lived
// threads, and the way out.

#include <QString>
#include <QStringList>

#include "comm/RegisterLogWriter.h"
#include "comm/UpdateDecider.h"

#include <memory>

class CMainFrame;
class CTerminalView;
class CTimerThread;
class CCommMgrThread;
class EditCommands;
class PhoneBookCommand;
class ScheduleWindows;
class ShutdownSequence;
class InitialSettingsWindow;
class SingleInstance;
class SignalBridge;
class UdpPortLock;
class WidgetPrompter;
class PortProblemReceiver;
class TestControl;

class CKelMngPCApp
{
public:
    CKelMngPCApp();
    ~CKelMngPCApp();

    // Runs the start-up sequence on the command-line arguments (without the
    // program name). Answers true when the program is up and should run.
    bool initInstance(const QStringList &args);
    // Releases the single-instance lock after the threads have ended.
    void exitInstance();

    CMainFrame *frame() const { return m_frame.get(); }
    // A termination signal has ended the program (the event loop is told to
    // end; one that had not started yet must not run).
    bool shutDown() const;

    // The arguments the "/wait=" option is looked up in.
    static QString commandLineFrom(const QStringList &args);

    // The message box of a UDP port the program can't use.
    static QString portProblemCaption();
    static QString portProblemText(int port);

private:
    // Tells the user (and stderr) why the program can't start.
    void refuse(const QString &text, const QString &caption, unsigned type);
    void stopThreads();
    // The steps of the way out on a termination signal.
    void cancelRunning();
    void closeDialogs();
    bool somethingRuns() const;
    void finishShutdown();

    RegisterLogWriter m_registerLog;
    CAutoUpdateDecider m_decider; // used by the manager thread, outlives it
    std::unique_ptr<WidgetPrompter> m_prompter;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<UdpPortLock> m_portLock;
    std::unique_ptr<PortProblemReceiver> m_portProblems;
    std::unique_ptr<SignalBridge> m_signals;
    std::unique_ptr<ShutdownSequence> m_shutdown;
    std::unique_ptr<CMainFrame> m_frame;
    CTerminalView *m_view = nullptr; // owned by the frame
    std::unique_ptr<CTimerThread> m_timer;
    std::unique_ptr<CCommMgrThread> m_comm;
    std::unique_ptr<ScheduleWindows> m_schedules;
    std::unique_ptr<EditCommands> m_edits;
    std::unique_ptr<PhoneBookCommand> m_phoneBook;
    // Feeds the decider's initial-settings hooks: made before the manager starts.
    std::unique_ptr<InitialSettingsWindow> m_initialSettings;
    std::unique_ptr<TestControl> m_testControl; // only with KELMNGPC_TEST_CONTROL
};
