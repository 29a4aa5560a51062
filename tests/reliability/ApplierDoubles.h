#pragma once
// What a NoticeApplier needs around it in a test: the view's side and the
// timer thread, which keeps the timers asked for.

#include "common/ThreadMessage.h"
#include "common/TimerPayload.h"
#include "termlist/NoticeApplier.h"

#include <vector>

struct ViewDouble : NoticeApplier::Host {
    bool pending = false;
    bool refreshPending() const override { return pending; }
    void setRefreshPending() override { pending = true; }
    bool mainWindowEnabled() const override { return true; }
    void refreshList() override { pending = false; }
};

struct TimerThreadDouble : MessageReceiver {
    std::vector<TimerSpec> started;
    void onMessage(std::uint32_t, quintptr, std::unique_ptr<Payload> p) override
    {
        if (auto *t = dynamic_cast<TaskMessage *>(p.get()); t && t->kind == TaskKind::TimerStart)
            started.push_back(*TimerSpecOf(*t));
    }
};
