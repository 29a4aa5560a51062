#pragma once
// The list window's handling of the communication manager's notifications
// (Msg::Task to the main thread): completions of requests, terminal
// information sent, schedule steps, the redraw timer, notices, the
// terminal-initiated updates with their window, and terminal requests
// awaiting the user interface's decision.

#include "termlist/CommandHost.h"
#include "termlist/FirmChecks.h"

class CommandFlow;
class StoredRequestDiscard;
struct RequestPayload;

class ViewNotifications
{
public:
    ViewNotifications(CommandContext &context, CommandFlow &flow, StoredRequestDiscard &discard)
        : m_ctx(context), m_flow(flow), m_discard(discard)
    {
    }

    void onTask(std::unique_ptr<TaskMessage> task);
    // A message to the main thread: notifications (Msg::Task), the stop of
    // the terminal-update window and the manager's answer with the stored
    // terminal requests. Anything else (start/stop) is not the list's.
    void onMessage(std::uint32_t msg, std::unique_ptr<Payload> payload);

private:
    void onCompletion(std::unique_ptr<TaskMessage> task);
    void onScheduleStep(std::unique_ptr<TaskMessage> task);
    void onTermRequestEnded(const TaskMessage &task);
    void onTermRequest(std::unique_ptr<TaskMessage> task);
    void recordResults(const TaskMessage &task);
    void startFirmChecks(const std::vector<FirmChecks::Written> &writes);

    CommandContext &m_ctx;
    CommandFlow &m_flow;
    StoredRequestDiscard &m_discard;
};
