// The software synthesizer that sounds the sequencer's channel messages.
#ifndef VEKHOST_MCI_SYNTHESIZER_H
#define VEKHOST_MCI_SYNTHESIZER_H

#include "mci/midi_file.h"

namespace vek::mci {

class Synthesizer {
public:
    // The process's synthesizer, made on the first call (which may take a
    // moment: it loads a sound font and opens the audio output); null, now
    // and on every later call, when none can sound.
    static Synthesizer *shared();

    // Safe from any thread.
    virtual void send(const MidiEvent &event) = 0;
    // Releases every sounding note of every channel.
    virtual void allNotesOff() = 0;

protected:
    ~Synthesizer() = default;
};

}  // namespace vek::mci

#endif
