#include "concurrency/thread_pool.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <utility>

#include "concurrency/completion_queue.h"
#include "concurrency/pumping_wait.h"
#include "concurrency/sync_event.h"

namespace qr::concurrency {

namespace {

constexpr std::int32_t kDefaultInitialThreads = 5;
constexpr std::int32_t kDefaultMaxThreads = 20;
constexpr std::int32_t kDefaultIdleTimeout = 10000;
constexpr std::int32_t kShortestIdleTimeout = 100;
constexpr std::int32_t kSmallestStack = 8192;
constexpr std::uint32_t kManagerStack = 8192;
constexpr int kCreateFailureLimit = 5;
constexpr int kManagerEndWaits = 21;
constexpr int kFailedStartManagerWaits = 11;
constexpr std::int64_t kWaitSlice = 20;
constexpr int kPumpEveryMarkers = 100;

// The overlapped value no job can have: tells a worker to leave.
constexpr std::uintptr_t kExitMarker = static_cast<std::uintptr_t>(-2);
constexpr CompletionPacket kExitPacket{0xFFFFFFFFu, 0xFFFFFFFFu, kExitMarker};

// The routine value of a job that carries a context: the packet's second
// argument then points to the job record, which the pool owns until the job
// has run or was dropped.
const char kContextJobTag = 0;
const std::uintptr_t kContextJob = reinterpret_cast<std::uintptr_t>(&kContextJobTag);

struct ContextJob {
  ContextJobRoutine routine;
  std::shared_ptr<void> context;
  std::int32_t argument1;
  std::int32_t argument2;
};

void RunJob(const CompletionPacket& packet) {
  if (packet.routine == kContextJob) {
    const std::unique_ptr<ContextJob> job(reinterpret_cast<ContextJob*>(packet.argument2));
    job->routine(job->context.get(), job->argument1, job->argument2);
    return;
  }
  const auto routine = reinterpret_cast<JobRoutine>(packet.routine);
  routine(static_cast<std::int32_t>(packet.argument1),
          static_cast<std::int32_t>(static_cast<std::uint32_t>(packet.argument2)));
}

// A packet that will not run gives its job record back.
void DropJob(const CompletionPacket& packet) {
  if (packet.routine == kContextJob) delete reinterpret_cast<ContextJob*>(packet.argument2);
}

enum class WorkerKind { Core = 0, Extra = 1 };

// The live-thread word: run number in the high half, then a sealed bit and
// the count of live workers. A run is sealed when its last worker leaves (or
// when it never got one), so a worker that comes up late, after its run has
// closed down or a new one has begun, leaves without touching anything.
constexpr std::uint64_t kSealedBit = std::uint64_t{1} << 31;
constexpr std::uint64_t kLiveMask = kSealedBit - 1;

std::int32_t LiveOf(std::uint64_t word) { return static_cast<std::int32_t>(word & kLiveMask); }
std::uint32_t RunOf(std::uint64_t word) { return static_cast<std::uint32_t>(word >> 32); }
bool IsSealed(std::uint64_t word) { return (word & kSealedBit) != 0; }

// Start rounds a stack size down to whole pages, a later change to whole
// steps of the smallest stack.
constexpr std::int32_t kStartStackStep = 4096;
constexpr std::int32_t kLaterStackStep = kSmallestStack;

// 0 keeps the system's size; anything else is at least the smallest stack.
std::int32_t SettleStackSize(std::int32_t bytes, std::int32_t step) {
  if (bytes == 0) return 0;
  if (bytes < kSmallestStack) return kSmallestStack;
  return bytes / step * step;
}

bool IsDiscarding(StopMode mode) { return mode == StopMode::DiscardAndWait || mode == StopMode::DiscardNoWait; }

// Counts a thread that is about to use the pool's handles; the last worker
// closes them only once no such use is in progress.
class HandleUse {
 public:
  explicit HandleUse(std::atomic<std::int32_t>& users) : users_(&users) { users_->fetch_add(1); }
  ~HandleUse() { Release(); }
  HandleUse(const HandleUse&) = delete;
  HandleUse& operator=(const HandleUse&) = delete;
  void Release() {
    if (users_ != nullptr) users_->fetch_sub(1);
    users_ = nullptr;
  }

 private:
  std::atomic<std::int32_t>* users_;
};

// The pool whose job the calling thread is running, if any.
thread_local const void* poolOfThisWorker = nullptr;

}  // namespace

// Everything the pool's threads share. The pool object and every thread it
// starts hold it, so it outlives whichever of them ends last.
struct ThreadPool::Shared : std::enable_shared_from_this<ThreadPool::Shared> {
  explicit Shared(ThreadStarter starter) : startThread(std::move(starter)) {}

  ThreadStarter startThread;
  std::atomic<std::int32_t> state{static_cast<std::int32_t>(PoolState::Stopped)};
  CompletionQueue port;
  std::atomic<std::int32_t> runFlag{0};
  SyncEvent wakeEvent{false};
  SyncEvent startedEvent{false};
  SyncEvent jobDoneEvent{false};
  SyncEvent runGate{true};
  std::atomic<std::uint64_t> live{kSealedBit};
  std::atomic<std::int32_t> runningJobs{0};
  std::atomic<std::int32_t> queuedJobs{0};
  // Posted and not yet finished. A job that re-posts itself raises it before
  // it lowers it, so IsIdle never reads "idle" in between as two separate
  // readings of the queued and running counts could.
  std::atomic<std::int32_t> unfinishedJobs{0};
  std::atomic<std::uint32_t> checkIns{0};  // workers come up so far, for the manager's pacing
  std::atomic<std::int32_t> handleUsers{0};
  // Posts between their state check and their packet entering the queue.
  std::atomic<std::int32_t> postsUnderway{0};
  std::unique_ptr<PoolThread> managerThread;  // only Start and Stop touch it, never both at once
  std::atomic<std::int32_t> maxThreads{kDefaultMaxThreads};
  std::atomic<std::int32_t> idleTimeout{kDefaultIdleTimeout};
  std::atomic<std::int32_t> stackSize{0};

  PoolState State() const { return static_cast<PoolState>(state.load()); }
  void SetState(PoolState next) { state.store(static_cast<std::int32_t>(next)); }
  bool ChangeState(PoolState from, PoolState to, PoolState& found) {
    auto expected = static_cast<std::int32_t>(from);
    const bool changed = state.compare_exchange_strong(expected, static_cast<std::int32_t>(to));
    found = static_cast<PoolState>(expected);
    return changed;
  }

  bool Start(std::int32_t initial, bool pump);
  bool Stop(StopMode mode, std::int32_t timeoutMs, bool pump);
  bool Post(std::uintptr_t routine, std::int32_t argument1, std::int32_t argument2);
  bool PostPacket(const CompletionPacket& packet);
  WaitResult WaitWhileRunning(SyncEvent& event, std::optional<std::int32_t> timeoutMs, bool pump);

  bool OpenHandles();
  void CloseHandles();
  void FailStart(bool pump);
  bool AwaitStopped(std::uint32_t run, std::int32_t timeoutMs, bool pump);
  void AwaitNoHandleUsers() const;
  void AwaitPostsUnderway() const;
  bool StartWorker(WorkerKind kind, std::uint32_t run);
  void WorkerLoop(WorkerKind kind, std::uint32_t run);
  bool CheckIn(WorkerKind kind, std::uint32_t run);
  void CheckOut();
  void ManagerLoop();
  void AwaitCheckIn(std::uint32_t checkInsBefore, std::int64_t limitMs);
  bool NeedsMoreWorkers() const;
  void GrowthCheck();
};

bool ThreadPool::Shared::OpenHandles() {
  const bool opened = port.Open() && wakeEvent.Open(false) && startedEvent.Open(false) && jobDoneEvent.Open(false) &&
                      runGate.Open(true);
  if (!opened) CloseHandles();
  return opened;
}

void ThreadPool::Shared::CloseHandles() {
  // Jobs still queued are dropped with the queue; their records go first.
  CompletionPacket left;
  while (port.Take(left, 0) == TakeResult::Taken) DropJob(left);
  port.Close();
  jobDoneEvent.Close();
  runGate.Close();
  wakeEvent.Close();
  startedEvent.Close();
}

void ThreadPool::Shared::AwaitNoHandleUsers() const {
  while (handleUsers.load() != 0 || postsUnderway.load() != 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void ThreadPool::Shared::AwaitPostsUnderway() const {
  while (postsUnderway.load() != 0) std::this_thread::yield();
}

bool ThreadPool::Shared::StartWorker(WorkerKind kind, std::uint32_t run) {
  auto body = [self = shared_from_this(), kind, run] { self->WorkerLoop(kind, run); };
  return startThread(std::move(body), static_cast<std::uint32_t>(stackSize.load())) != nullptr;
}

bool ThreadPool::Shared::CheckIn(WorkerKind kind, std::uint32_t run) {
  std::uint64_t word = live.load();
  do {
    if (RunOf(word) != run || IsSealed(word)) return false;
    // An extra worker that comes up slowly, after the manager stopped waiting
    // for it and made another, never takes the pool over its maximum.
    if (kind == WorkerKind::Extra && LiveOf(word) >= maxThreads.load()) return false;
  } while (!live.compare_exchange_weak(word, word + 1));
  checkIns.fetch_add(1);
  return true;
}

void ThreadPool::Shared::WorkerLoop(WorkerKind kind, std::uint32_t run) {
  if (!CheckIn(kind, run)) return;
  poolOfThisWorker = this;
  if (State() != PoolState::Stopping) startedEvent.Set();
  CompletionPacket packet;
  TakeResult taken;
  for (;;) {
    const std::int64_t limit = kind == WorkerKind::Extra ? idleTimeout.load() : kNoTimeLimit;
    taken = port.Take(packet, limit);
    runGate.Wait(kNoTimeLimit);  // a paused pool keeps the job in this worker's hand
    if (runFlag.load() != 1 || taken != TakeResult::Taken || packet.routine == kExitMarker) break;
    runningJobs.fetch_add(1);
    queuedJobs.fetch_sub(1);
    RunJob(packet);
    runningJobs.fetch_sub(1);
    unfinishedJobs.fetch_sub(1);
    jobDoneEvent.Set();
  }
  // Pass the exit marker on while this worker still counts as live (so the
  // queue is still open): a worker that came up after the stop counted the
  // live ones finds a marker too, instead of waiting for ever. The last
  // worker out closes the queue with whatever markers are left in it.
  if (taken == TakeResult::Taken && packet.routine == kExitMarker) port.Post(kExitPacket);
  if (taken == TakeResult::Taken) DropJob(packet);
  poolOfThisWorker = nullptr;
  CheckOut();
}

void ThreadPool::Shared::CheckOut() {
  std::uint64_t word = live.load();
  std::uint64_t next = 0;
  do {
    next = word - 1;
    if (LiveOf(next) == 0) next |= kSealedBit;
  } while (!live.compare_exchange_weak(word, next));
  if (LiveOf(next) != 0) return;
  // The last worker out closes the run down, once every caller and the
  // manager are done with the handles.
  AwaitNoHandleUsers();
  CloseHandles();
  runFlag.store(0);
  runningJobs.store(0);
  queuedJobs.store(0);
  unfinishedJobs.store(0);
  SetState(PoolState::Stopped);
}

bool ThreadPool::Shared::NeedsMoreWorkers() const {
  const std::int32_t liveNow = LiveOf(live.load());
  return liveNow < maxThreads.load() && runningJobs.load() + queuedJobs.load() > liveNow;
}

void ThreadPool::Shared::GrowthCheck() {
  if (NeedsMoreWorkers()) wakeEvent.Set();
}

// Waits for the start signal of the worker just created. A signal left over
// from an earlier worker does not count, and the wait goes in slices so that
// a stop that has drained the signal already is not kept waiting.
void ThreadPool::Shared::AwaitCheckIn(std::uint32_t checkInsBefore, std::int64_t limitMs) {
  const std::int64_t began = MillisecondClock();
  while (State() == PoolState::Running && checkIns.load() == checkInsBefore) {
    const std::int64_t left = limitMs - (MillisecondClock() - began);
    if (left <= 0 || startedEvent.Wait(std::min(left, kWaitSlice)) == WaitResult::Failed) return;
  }
}

// Runs while the manager holds one of the handle uses (taken for it by Start).
void ThreadPool::Shared::ManagerLoop() {
  const std::uint32_t run = RunOf(live.load());
  int failures = 0;
  wakeEvent.Wait(kNoTimeLimit);
  while (State() == PoolState::Running) {
    if (NeedsMoreWorkers()) {
      const std::int32_t liveNow = LiveOf(live.load());
      const std::uint32_t checkInsBefore = checkIns.load();
      if (StartWorker(WorkerKind::Extra, run)) {
        failures = 0;
        AwaitCheckIn(checkInsBefore, 2 * static_cast<std::int64_t>(liveNow) + 1000);
      } else if (++failures >= kCreateFailureLimit) {
        maxThreads.store(std::max(LiveOf(live.load()), 1));
        failures = 0;
      }
    } else {
      wakeEvent.Wait(kNoTimeLimit);
    }
    runGate.Wait(kNoTimeLimit);
  }
  handleUsers.fetch_sub(1);
}

bool ThreadPool::Shared::Start(std::int32_t initial, bool pump) {
  if (!OpenHandles()) {
    SetState(PoolState::Stopped);
    return false;
  }
  const std::uint32_t run = RunOf(live.load()) + 1;
  live.store(static_cast<std::uint64_t>(run) << 32);
  runFlag.store(1);
  runningJobs.store(0);
  queuedJobs.store(0);
  unfinishedJobs.store(0);

  handleUsers.fetch_add(1);  // the manager's, given back as it ends
  managerThread = startThread([self = shared_from_this()] { self->ManagerLoop(); }, kManagerStack);
  if (managerThread == nullptr) {
    handleUsers.fetch_sub(1);
    live.fetch_or(kSealedBit);
    CloseHandles();
    runFlag.store(0);
    SetState(PoolState::Stopped);
    return false;
  }

  std::int32_t created = 0;
  int failures = 0;
  for (std::int32_t attempt = 0; attempt < initial && failures < kCreateFailureLimit; ++attempt) {
    if (StartWorker(WorkerKind::Core, run)) {
      ++created;
      failures = 0;
    } else {
      ++failures;
    }
    if (pump) ProcessPendingMessages();
  }
  if (created > 0) {
    while (LiveOf(live.load()) < created) {
      if (startedEvent.Wait(2 * static_cast<std::int64_t>(created) + 1000) != WaitResult::Signalled) break;
      if (pump) ProcessPendingMessages();
    }
  }

  // Seal a run that got no worker, so that none can still come up in it.
  std::uint64_t word = live.load();
  while (LiveOf(word) == 0 && !IsSealed(word)) {
    if (live.compare_exchange_weak(word, word | kSealedBit)) {
      FailStart(pump);
      return false;
    }
  }
  if (LiveOf(word) == 0) {
    // Its workers came and went already; the last of them closes the run once the manager is gone.
    wakeEvent.Set();
    managerThread.reset();
    return false;
  }
  PoolState found;
  return ChangeState(PoolState::Starting, PoolState::Running, found);
}

void ThreadPool::Shared::FailStart(bool pump) {
  wakeEvent.Set();  // the manager finds the pool not running and ends
  for (int wait = 0; wait < kFailedStartManagerWaits && !managerThread->WaitForEnd(kWaitSlice); ++wait) {
    if (pump) ProcessPendingMessages();
  }
  managerThread.reset();
  AwaitNoHandleUsers();
  CloseHandles();
  runFlag.store(0);
  SetState(PoolState::Stopped);
}

bool ThreadPool::Shared::Stop(StopMode mode, std::int32_t timeoutMs, bool pump) {
  HandleUse use(handleUsers);  // taken before the state changes, so no worker closes the handles under us
  PoolState found;
  if (!ChangeState(PoolState::Running, PoolState::Stopping, found)) return found == PoolState::Stopped;
  const std::uint32_t run = RunOf(live.load());
  if (static_cast<std::int32_t>(mode) < 0 || static_cast<std::int32_t>(mode) > 3) mode = StopMode::DiscardAndWait;
  if (IsDiscarding(mode)) runFlag.store(0);
  // A post that saw the pool running is queued before the exit markers, so a
  // finishing stop runs every job whose post reported success.
  AwaitPostsUnderway();

  // Release paused workers and everybody waiting on the pool.
  jobDoneEvent.Set();
  startedEvent.Set();
  wakeEvent.Set();
  runGate.Set();

  if (managerThread != nullptr) {
    for (int wait = 0; wait < kManagerEndWaits && !managerThread->WaitForEnd(kWaitSlice); ++wait) {
      if (pump) ProcessPendingMessages();
    }
    managerThread.reset();
  }
  while (startedEvent.Wait(0) == WaitResult::Signalled) {
  }

  // One exit marker for every live worker and one for a worker still coming
  // up. The count is taken before any marker goes out: a worker leaving on an
  // early marker would be missing from a later count, and the marker it took
  // would then be short for a worker that comes up late.
  const std::int32_t liveNow = LiveOf(live.load());
  for (std::int32_t posted = 0; posted <= liveNow; ++posted) {
    port.Post(kExitPacket);
    if (pump && posted > 0 && posted % kPumpEveryMarkers == 0) ProcessPendingMessages();
  }
  use.Release();

  if (mode == StopMode::DiscardNoWait || mode == StopMode::FinishNoWait) return true;
  // A job cannot wait for its own worker to leave: it hears "not yet stopped" at once.
  if (poolOfThisWorker == this) return false;
  return AwaitStopped(run, timeoutMs, pump);
}

bool ThreadPool::Shared::AwaitStopped(std::uint32_t run, std::int32_t timeoutMs, bool pump) {
  const std::int64_t began = MillisecondClock();
  for (;;) {
    // A new run means this one ended and somebody started the pool again.
    if (State() == PoolState::Stopped || RunOf(live.load()) != run) return true;
    if (timeoutMs > 0 && MillisecondClock() - began > timeoutMs) return false;
    // Polled, not waited for on the pool's events: the last worker is about
    // to close them, and a wait must not hold them open (nor meet a handle
    // the system has given to something else in the meantime).
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (pump) ProcessPendingMessages();
  }
}

bool ThreadPool::Shared::Post(std::uintptr_t routine, std::int32_t argument1, std::int32_t argument2) {
  if (routine == 0 || routine == kExitMarker || routine == kContextJob) return false;
  return PostPacket({static_cast<std::uint32_t>(argument1),
                     static_cast<std::uintptr_t>(static_cast<std::uint32_t>(argument2)), routine});
}

bool ThreadPool::Shared::PostPacket(const CompletionPacket& packet) {
  HandleUse use(postsUnderway);
  if (State() != PoolState::Running) return false;
  queuedJobs.fetch_add(1);
  unfinishedJobs.fetch_add(1);
  const bool posted = port.Post(packet);
  if (!posted) {
    queuedJobs.fetch_sub(1);
    unfinishedJobs.fetch_sub(1);
  }
  GrowthCheck();
  return posted;
}

// Waits on one of the pool's events in slices, each under a handle use, so
// that the last worker cannot close the event (and the system hand its handle
// to another object) while the wait is on it; between slices the last worker
// may close the run down, and the wait then ends. Failed when the pool is not
// running (any more).
WaitResult ThreadPool::Shared::WaitWhileRunning(SyncEvent& event, std::optional<std::int32_t> timeoutMs, bool pump) {
  const bool limited = timeoutMs.has_value() && *timeoutMs >= 0;
  const std::int64_t began = MillisecondClock();
  for (;;) {
    if (pump) ProcessPendingMessages();
    std::int64_t slice = kWaitSlice;
    if (limited) slice = std::clamp<std::int64_t>(*timeoutMs - (MillisecondClock() - began), 0, kWaitSlice);
    HandleUse use(handleUsers);
    if (State() != PoolState::Running) return WaitResult::Failed;
    const WaitResult result = event.Wait(slice);
    if (result != WaitResult::TimedOut || (limited && slice < kWaitSlice)) return result;
  }
}

ThreadPool::ThreadPool() : ThreadPool(ThreadStarter(&PoolThread::Start)) {}

ThreadPool::ThreadPool(ThreadStarter startThread) : shared_(std::make_shared<Shared>(std::move(startThread))) {}

ThreadPool::~ThreadPool() { shared_->Stop(StopMode::DiscardNoWait, 0, false); }

bool ThreadPool::Start(std::optional<std::int32_t> initialThreads, std::optional<std::int32_t> maxThreads,
                       std::optional<std::int32_t> idleTimeoutMs, bool pumpMessages, std::int32_t stackSize) {
  PoolState found;
  if (!shared_->ChangeState(PoolState::Stopped, PoolState::Starting, found)) return false;
  const std::int32_t initial = initialThreads ? std::max(*initialThreads, 1) : kDefaultInitialThreads;
  shared_->maxThreads.store(std::max(maxThreads.value_or(kDefaultMaxThreads), initial));
  shared_->idleTimeout.store(idleTimeoutMs ? std::max(*idleTimeoutMs, kShortestIdleTimeout) : kDefaultIdleTimeout);
  shared_->stackSize.store(SettleStackSize(stackSize, kStartStackStep));
  return shared_->Start(initial, pumpMessages);
}

bool ThreadPool::Stop(StopMode mode, std::int32_t timeoutMs, bool pumpMessages) {
  return shared_->Stop(mode, timeoutMs, pumpMessages);
}

void ThreadPool::Pause() {
  HandleUse use(shared_->handleUsers);
  if (shared_->State() != PoolState::Running) return;
  shared_->runGate.Reset();
  // A stop that came in between has opened the gate already and must win:
  // open it again, or the workers would wait on it for ever.
  if (shared_->State() != PoolState::Running) shared_->runGate.Set();
}

void ThreadPool::Resume() {
  HandleUse use(shared_->handleUsers);
  if (shared_->State() == PoolState::Running) shared_->runGate.Set();
}

bool ThreadPool::WaitWhilePaused(std::int32_t timeoutMs) {
  return shared_->WaitWhileRunning(shared_->runGate, timeoutMs, false) == WaitResult::Signalled;
}

bool ThreadPool::Post(JobRoutine routine, std::int32_t argument1, std::int32_t argument2) {
  return shared_->Post(reinterpret_cast<std::uintptr_t>(routine), argument1, argument2);
}

bool ThreadPool::PostWithContext(ContextJobRoutine routine, std::shared_ptr<void> context, std::int32_t argument1,
                                 std::int32_t argument2) {
  if (routine == nullptr) return false;
  auto job = std::make_unique<ContextJob>(ContextJob{routine, std::move(context), argument1, argument2});
  if (!shared_->PostPacket({0, reinterpret_cast<std::uintptr_t>(job.get()), kContextJob})) return false;
  job.release();  // the queue holds it now
  return true;
}

bool ThreadPool::PostAddress(std::uintptr_t routineAddress, std::int32_t argument1, std::int32_t argument2) {
  return shared_->Post(routineAddress, argument1, argument2);
}

bool ThreadPool::WaitJobDone(std::optional<std::int32_t> timeoutMs, bool pumpMessages) {
  return shared_->WaitWhileRunning(shared_->jobDoneEvent, timeoutMs, pumpMessages) == WaitResult::Signalled;
}

void ThreadPool::SignalJobDone() {
  HandleUse use(shared_->handleUsers);
  if (shared_->State() == PoolState::Running) shared_->jobDoneEvent.Set();
}

std::int32_t ThreadPool::IdleThreads() const { return LiveThreads() - RunningJobs(); }
std::int32_t ThreadPool::RunningJobs() const { return shared_->runningJobs.load(); }
std::int32_t ThreadPool::QueuedJobs() const { return shared_->queuedJobs.load(); }
std::int32_t ThreadPool::LiveThreads() const { return LiveOf(shared_->live.load()); }
std::int32_t ThreadPool::MaxThreads() const { return shared_->maxThreads.load(); }
bool ThreadPool::IsIdle() const { return shared_->unfinishedJobs.load() == 0; }
PoolState ThreadPool::GetState() const { return shared_->State(); }
std::int32_t ThreadPool::IdleTimeout() const { return shared_->idleTimeout.load(); }
std::int32_t ThreadPool::StackSize() const { return shared_->stackSize.load(); }

void ThreadPool::SetMaxThreads(std::int32_t count) {
  HandleUse use(shared_->handleUsers);
  if (shared_->State() != PoolState::Running) return;
  shared_->maxThreads.store(std::max(count, 1));
  shared_->GrowthCheck();
}

void ThreadPool::SetIdleTimeout(std::int32_t milliseconds) {
  if (shared_->State() == PoolState::Running) shared_->idleTimeout.store(std::max(milliseconds, kShortestIdleTimeout));
}

void ThreadPool::SetStackSize(std::int32_t bytes) {
  if (shared_->State() == PoolState::Running) shared_->stackSize.store(SettleStackSize(bytes, kLaterStackStep));
}

}  // namespace qr::concurrency
