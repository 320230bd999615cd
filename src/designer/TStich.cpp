#include "TStich.h"

#include "foundation/OwnedText.h"

void releaseStitch(TStich& s) {
    freeOwnedText(s.bezeichnung);
    freeOwnedText(s.abkuerzung);
    freeOwnedText(s.hinreihe);
    freeOwnedText(s.rueckreihe);
    FreeDIB(s.di);
}
