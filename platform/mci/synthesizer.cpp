// FluidSynth as the synthesizer, loaded at run time so that vekhost neither
// links nor needs it. Without the library, a sound font or an audio output
// there is no synthesizer and the sequencer plays silently.
//
// The sound font is the first file that exists of $VEKHOST_SOUNDFONT and the
// General MIDI fonts of Debian's sound font packages. The audio goes to
// FluidSynth's default driver or, when $VEKHOST_AUDIO_FILE names a file, to
// its "file" driver: 16-bit stereo samples at 44.1 kHz, raw or, for a name
// ending in ".wav", as a WAV file. The file is complete once the process
// exits normally.
#include "mci/synthesizer.h"

#include <dlfcn.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <sys/stat.h>

namespace vek::mci {

namespace {

// FluidSynth's C interface, as far as it is used here; its objects stay
// opaque.
struct fluid_settings_t;
struct fluid_synth_t;
struct fluid_audio_driver_t;

struct FluidApi {
    fluid_settings_t *(*newSettings)();
    int (*setString)(fluid_settings_t *, const char *name, const char *value);
    void (*deleteSettings)(fluid_settings_t *);
    fluid_synth_t *(*newSynth)(fluid_settings_t *);
    int (*loadSoundFont)(fluid_synth_t *, const char *file, int resetPresets);
    void (*deleteSynth)(fluid_synth_t *);
    fluid_audio_driver_t *(*newAudioDriver)(fluid_settings_t *, fluid_synth_t *);
    void (*deleteAudioDriver)(fluid_audio_driver_t *);
    int (*noteOn)(fluid_synth_t *, int channel, int key, int velocity);
    int (*noteOff)(fluid_synth_t *, int channel, int key);
    int (*keyPressure)(fluid_synth_t *, int channel, int key, int value);
    int (*controlChange)(fluid_synth_t *, int channel, int control, int value);
    int (*programChange)(fluid_synth_t *, int channel, int program);
    int (*channelPressure)(fluid_synth_t *, int channel, int value);
    int (*pitchBend)(fluid_synth_t *, int channel, int value);
    int (*allNotesOff)(fluid_synth_t *, int channel);  // channel -1: all of them
};

template <class F>
bool resolve(void *library, const char *name, F &function)
{
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
}

bool loadFluidSynth(FluidApi &api)
{
    void *library = dlopen("libfluidsynth.so.3", RTLD_NOW | RTLD_LOCAL);
    if (!library) return false;
    const bool complete =
        resolve(library, "new_fluid_settings", api.newSettings) &&
        resolve(library, "fluid_settings_setstr", api.setString) &&
        resolve(library, "delete_fluid_settings", api.deleteSettings) &&
        resolve(library, "new_fluid_synth", api.newSynth) &&
        resolve(library, "fluid_synth_sfload", api.loadSoundFont) &&
        resolve(library, "delete_fluid_synth", api.deleteSynth) &&
        resolve(library, "new_fluid_audio_driver", api.newAudioDriver) &&
        resolve(library, "delete_fluid_audio_driver", api.deleteAudioDriver) &&
        resolve(library, "fluid_synth_noteon", api.noteOn) && resolve(library, "fluid_synth_noteoff", api.noteOff) &&
        resolve(library, "fluid_synth_key_pressure", api.keyPressure) &&
        resolve(library, "fluid_synth_cc", api.controlChange) &&
        resolve(library, "fluid_synth_program_change", api.programChange) &&
        resolve(library, "fluid_synth_channel_pressure", api.channelPressure) &&
        resolve(library, "fluid_synth_pitch_bend", api.pitchBend) &&
        resolve(library, "fluid_synth_all_notes_off", api.allNotesOff);
    // The library stays loaded for the process, whether used or not.
    return complete;
}

std::string soundFont()
{
    const char *chosen = std::getenv("VEKHOST_SOUNDFONT");
    for (const char *file : {chosen, "/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                             "/usr/share/sounds/sf2/TimGM6mb.sf2"}) {
        struct stat info;
        if (file && *file && stat(file, &info) == 0 && S_ISREG(info.st_mode)) return file;
    }
    return {};
}

class FluidSynthesizer final : public Synthesizer {
public:
    FluidSynthesizer(const FluidApi &api, fluid_settings_t *settings, fluid_synth_t *synth,
                     fluid_audio_driver_t *driver)
        : api_(api), settings_(settings), synth_(synth), driver_(driver)
    {
    }

    void send(const MidiEvent &event) override
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!synth_) return;
        const int channel = event.status & 0x0F;
        switch (event.status >> 4) {
        case 0x8: api_.noteOff(synth_, channel, event.data1); break;
        case 0x9: api_.noteOn(synth_, channel, event.data1, event.data2); break;  // velocity 0 is a note off
        case 0xA: api_.keyPressure(synth_, channel, event.data1, event.data2); break;
        case 0xB: api_.controlChange(synth_, channel, event.data1, event.data2); break;
        case 0xC: api_.programChange(synth_, channel, event.data1); break;
        case 0xD: api_.channelPressure(synth_, channel, event.data1); break;
        case 0xE: api_.pitchBend(synth_, channel, event.data2 << 7 | event.data1); break;
        }
    }

    void allNotesOff() override
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (synth_) api_.allNotesOff(synth_, -1);
    }

    // Stops the audio output, which completes an audio file, and frees
    // FluidSynth's objects; later calls do nothing. Sequencer threads may
    // still be running, hence the lock.
    void shutDown()
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!synth_) return;
        api_.deleteAudioDriver(driver_);
        api_.deleteSynth(synth_);
        api_.deleteSettings(settings_);
        synth_ = nullptr;
    }

private:
    const FluidApi api_;
    std::mutex lock_;
    fluid_settings_t *const settings_;
    fluid_synth_t *synth_;  // null once shut down
    fluid_audio_driver_t *const driver_;
};

FluidSynthesizer *make()
{
    FluidApi api;
    const std::string font = soundFont();
    if (font.empty() || !loadFluidSynth(api)) return nullptr;
    fluid_settings_t *settings = api.newSettings();
    if (!settings) return nullptr;
    if (const char *file = std::getenv("VEKHOST_AUDIO_FILE"); file && *file) {
        const std::string name = file;
        const bool wav = name.size() >= 4 && name.compare(name.size() - 4, 4, ".wav") == 0;
        api.setString(settings, "audio.driver", "file");
        api.setString(settings, "audio.file.name", file);
        api.setString(settings, "audio.file.type", wav ? "wav" : "raw");
    }
    fluid_synth_t *synth = api.newSynth(settings);
    fluid_audio_driver_t *driver = nullptr;
    if (synth && api.loadSoundFont(synth, font.c_str(), 1) >= 0) driver = api.newAudioDriver(settings, synth);
    if (!driver) {
        if (synth) api.deleteSynth(synth);
        api.deleteSettings(settings);
        return nullptr;
    }
    return new FluidSynthesizer(api, settings, synth, driver);
}

// Set by the first call of Synthesizer::shared(); never destroyed, as
// sequencer threads may send to it until the process ends.
FluidSynthesizer *made = nullptr;

}  // namespace

Synthesizer *Synthesizer::shared()
{
    static const bool tried = [] {
        made = make();
        if (made) std::atexit([] { made->shutDown(); });
        return true;
    }();
    static_cast<void>(tried);
    return made;
}

}  // namespace vek::mci
