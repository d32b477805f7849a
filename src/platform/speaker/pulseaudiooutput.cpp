// SPDX-License-Identifier: GPL-3.0-or-later
// The emulated speaker's output to the desktop's PulseAudio (or PipeWire) server.
#include "emulatedspeaker.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/mainloop.h>
#include <pulse/proplist.h>
#include <pulse/stream.h>

#include <dlfcn.h>

namespace {

// libpulse and the score of libraries behind it (sndfile and its codecs, systemd, gcrypt) are
// loaded only for the emulated speaker, by its worker thread while start-up goes on: a start
// with the speaker silenced or on the kernel's pcspkr loads none of them. Without the library
// the alert is silent, as without a server.
#define TACKPAD_PULSE_FUNCTIONS(X)                                                                 \
    X(context_connect)                                                                             \
    X(context_disconnect)                                                                          \
    X(context_errno)                                                                               \
    X(context_get_state)                                                                           \
    X(context_new_with_proplist)                                                                   \
    X(context_unref)                                                                               \
    X(mainloop_dispatch)                                                                           \
    X(mainloop_free)                                                                               \
    X(mainloop_get_api)                                                                            \
    X(mainloop_iterate)                                                                            \
    X(mainloop_new)                                                                                \
    X(mainloop_poll)                                                                               \
    X(mainloop_prepare)                                                                            \
    X(operation_cancel)                                                                            \
    X(operation_unref)                                                                             \
    X(proplist_free)                                                                               \
    X(proplist_new)                                                                                \
    X(proplist_sets)                                                                               \
    X(stream_connect_playback)                                                                     \
    X(stream_disconnect)                                                                           \
    X(stream_drain)                                                                                \
    X(stream_get_state)                                                                            \
    X(stream_new_with_proplist)                                                                    \
    X(stream_unref)                                                                                \
    X(stream_write)                                                                                \
    X(strerror)

struct PulseLibrary {
#define TACKPAD_DECLARE(name) decltype(&::pa_##name) name = nullptr;
    TACKPAD_PULSE_FUNCTIONS(TACKPAD_DECLARE)
#undef TACKPAD_DECLARE
    bool loaded = false;
};

const PulseLibrary& pulseLibrary()
{
    static const PulseLibrary library = [] {
        PulseLibrary l;
        // Never closed: the speaker may play again at any time.
        void* handle = dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            qCInfo(lcSpeaker) << "no audio library:" << dlerror();
            return l;
        }
        bool complete = true;
#define TACKPAD_RESOLVE(name)                                                                      \
    l.name = reinterpret_cast<decltype(l.name)>(dlsym(handle, "pa_" #name));                       \
    complete = complete && l.name;
        TACKPAD_PULSE_FUNCTIONS(TACKPAD_RESOLVE)
#undef TACKPAD_RESOLVE
        if (!complete) {
            qCInfo(lcSpeaker) << "the audio library lacks functions this program uses";
            return PulseLibrary {};
        }
        l.loaded = true;
        return l;
    }();
    return library;
}

class PulseAudioOutput final : public AudioOutput {
public:
    ~PulseAudioOutput() override { release(); }

    void prepare() override { pulseLibrary(); }

    bool open(Deadline deadline, const std::atomic<bool>& cancel) override
    {
        if (!pa().loaded)
            return false;
        m_loop = pa().mainloop_new();
        if (!m_loop)
            return false;
        pa_proplist* props = pa().proplist_new();
        pa().proplist_sets(props, PA_PROP_APPLICATION_NAME, "Tackpad");
        pa().proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "tackpad");
        m_context = pa().context_new_with_proplist(pa().mainloop_get_api(m_loop), "Tackpad", props);
        pa().proplist_free(props);
        if (!m_context)
            return false;
        // Never start a server of our own: without a desktop one, the alert stays silent.
        if (pa().context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            qCInfo(lcSpeaker) << "no audio server:" << pa().strerror(pa().context_errno(m_context));
            return false;
        }
        const bool connected = iterateUntil(deadline, cancel, [this] {
            const pa_context_state_t state = pa().context_get_state(m_context);
            return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
        });
        if (!connected || pa().context_get_state(m_context) != PA_CONTEXT_READY) {
            qCInfo(lcSpeaker) << "audio server not reached:"
                              << (connected ? pa().strerror(pa().context_errno(m_context))
                                            : givenUp(cancel));
            return false;
        }

        const pa_sample_spec spec { PA_SAMPLE_S16NE, SquareWaveRenderer::sampleRate, 1 };
        pa_proplist* streamProps = pa().proplist_new();
        pa().proplist_sets(streamProps, PA_PROP_MEDIA_ROLE, "event");
        m_stream
            = pa().stream_new_with_proplist(m_context, "Note alert", &spec, nullptr, streamProps);
        pa().proplist_free(streamProps);
        if (!m_stream)
            return false;
        // Playback starts after a short prebuffer; the worker keeps the lead-in queued beyond it.
        const auto bytesFor
            = [](int ms) { return quint32(SquareWaveRenderer::sampleRate / 1000 * ms * 2); };
        pa_buffer_attr attr;
        attr.maxlength = quint32(-1);
        attr.tlength = bytesFor(200);
        attr.prebuf = bytesFor(20);
        attr.minreq = quint32(-1);
        attr.fragsize = quint32(-1);
        if (pa().stream_connect_playback(
                m_stream, nullptr, &attr, PA_STREAM_NOFLAGS, nullptr, nullptr)
            < 0)
            return false;
        const bool ready = iterateUntil(deadline, cancel, [this] {
            const pa_stream_state_t state = pa().stream_get_state(m_stream);
            return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
        });
        if (!ready || pa().stream_get_state(m_stream) != PA_STREAM_READY) {
            qCInfo(lcSpeaker) << "audio stream not opened:"
                              << (ready ? pa().strerror(pa().context_errno(m_context))
                                        : givenUp(cancel));
            return false;
        }
        return true;
    }

    bool write(std::span<const qint16> samples) override
    {
        if (!m_stream || pa().stream_get_state(m_stream) != PA_STREAM_READY)
            return false;
        if (!samples.empty()
            && pa().stream_write(
                   m_stream, samples.data(), samples.size_bytes(), nullptr, 0, PA_SEEK_RELATIVE)
                < 0)
            return false;
        // Send it and take in the server's replies without waiting.
        for (int i = 0; i < 16 && pa().mainloop_iterate(m_loop, 0, nullptr) > 0; ++i) { }
        return pa().stream_get_state(m_stream) == PA_STREAM_READY;
    }

    void close(Deadline deadline, const std::atomic<bool>& cancel) override
    {
        if (m_stream && pa().stream_get_state(m_stream) == PA_STREAM_READY && !cancel) {
            bool drained = false;
            pa_operation* op = pa().stream_drain(
                m_stream, [](pa_stream*, int, void* done) { *static_cast<bool*>(done) = true; },
                &drained);
            if (op) {
                iterateUntil(deadline, cancel,
                    [&] { return drained || pa().stream_get_state(m_stream) != PA_STREAM_READY; });
                pa().operation_cancel(op);
                pa().operation_unref(op);
            }
        }
        release();
    }

private:
    // Looked up on first use, which is on the worker thread.
    static const PulseLibrary& pa() { return pulseLibrary(); }

    static const char* givenUp(const std::atomic<bool>& cancel)
    {
        return cancel ? "cancelled" : "timed out";
    }

    template <typename Done>
    bool iterateUntil(Deadline deadline, const std::atomic<bool>& cancel, Done done)
    {
        while (!done()) {
            const auto left = deadline - std::chrono::steady_clock::now();
            if (cancel || left <= left.zero())
                return false;
            // Short polls, so that a cancel is seen soon.
            const auto wait = std::min<std::chrono::microseconds>(
                std::chrono::duration_cast<std::chrono::microseconds>(left),
                std::chrono::milliseconds(20));
            if (pa().mainloop_prepare(m_loop, int(wait.count())) < 0
                || pa().mainloop_poll(m_loop) < 0 || pa().mainloop_dispatch(m_loop) < 0)
                return false;
        }
        return true;
    }

    void release()
    {
        if (m_stream) {
            pa().stream_disconnect(m_stream);
            pa().stream_unref(m_stream);
            m_stream = nullptr;
        }
        if (m_context) {
            pa().context_disconnect(m_context);
            pa().context_unref(m_context);
            m_context = nullptr;
        }
        if (m_loop) {
            pa().mainloop_free(m_loop);
            m_loop = nullptr;
        }
    }

    pa_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
};

} // namespace

std::unique_ptr<AudioOutput> createPulseAudioOutput()
{
    return std::make_unique<PulseAudioOutput>();
}
