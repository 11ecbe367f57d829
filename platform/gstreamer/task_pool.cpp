#include "platform/gstreamer/task_pool.h"

#include <gst/gst.h>

#include <system_error>
#include <thread>

namespace {

struct QvTaskPool {
  GstTaskPool parent;
};
struct QvTaskPoolClass {
  GstTaskPoolClass parent_class;
};

GType QvTaskPoolType();

// The default pool prepares a GLib thread pool; this one needs none.
void PoolPrepare(GstTaskPool*, GError**) {}
void PoolCleanup(GstTaskPool*) {}

gpointer PoolPush(GstTaskPool*, GstTaskPoolFunction func, gpointer data, GError** error) {
  try {
    return new std::thread(func, data);
  } catch (const std::system_error& e) {
    g_set_error(error, GST_CORE_ERROR, GST_CORE_ERROR_FAILED, "no streaming thread: %s", e.what());
    return nullptr;
  }
}

void PoolJoin(GstTaskPool*, gpointer id) {
  auto* thread = static_cast<std::thread*>(id);
  if (!thread) return;
  if (thread->joinable()) thread->join();
  delete thread;
}

// A task released without a join: its thread ends on its own.
void PoolDisposeHandle(GstTaskPool*, gpointer id) {
  auto* thread = static_cast<std::thread*>(id);
  if (!thread) return;
  if (thread->joinable()) thread->detach();
  delete thread;
}

void PoolClassInit(gpointer klass, gpointer) {
  auto* pool = static_cast<GstTaskPoolClass*>(klass);
  pool->prepare = PoolPrepare;
  pool->cleanup = PoolCleanup;
  pool->push = PoolPush;
  pool->join = PoolJoin;
  pool->dispose_handle = PoolDisposeHandle;
}

GType QvTaskPoolType() {
  static GType type = [] {
    GTypeInfo info{};
    info.class_size = sizeof(QvTaskPoolClass);
    info.class_init = PoolClassInit;
    info.instance_size = sizeof(QvTaskPool);
    return g_type_register_static(GST_TYPE_TASK_POOL, "QvTaskPool", &info, static_cast<GTypeFlags>(0));
  }();
  return type;
}

GstTaskPool* SharedPool() {
  // One for the process: it holds no threads of its own between tasks.
  static GstTaskPool* pool = [] {
    auto* p = static_cast<GstTaskPool*>(g_object_new(QvTaskPoolType(), nullptr));
    gst_object_ref_sink(p);
    return p;
  }();
  return pool;
}

GstBusSyncReply OnSyncMessage(GstBus*, GstMessage* msg, gpointer) {
  if (GST_MESSAGE_TYPE(msg) != GST_MESSAGE_STREAM_STATUS) return GST_BUS_PASS;
  GstStreamStatusType type;
  GstElement* owner = nullptr;
  gst_message_parse_stream_status(msg, &type, &owner);
  const GValue* value = gst_message_get_stream_status_object(msg);
  if (type == GST_STREAM_STATUS_TYPE_CREATE && value && G_VALUE_HOLDS(value, GST_TYPE_TASK))
    gst_task_set_pool(static_cast<GstTask*>(g_value_get_object(value)), SharedPool());
  return GST_BUS_PASS;
}

} // namespace

void GstMovieUseOwnThreads(GstBus* bus) { gst_bus_set_sync_handler(bus, OnSyncMessage, nullptr, nullptr); }
