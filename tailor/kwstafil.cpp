// Graph-file operations of the symmetric tailors. Until the graph-file
// extension is in place these write nothing, take no field and report that
// nothing needs to be written; no extension is ever created.
#include "tailor/kwsedta.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

KWSGraphFileExtension* KWSGraphTailor::pGraphFileExtension(KWOMLFile*) { return graphFileExtension_; }

void KWSGraphTailor::releaseGraphFileExtension() { graphFileExtension_ = nullptr; }

void KWSGraphTailor::discardGraphFileExtension() { releaseGraphFileExtension(); }

void KWSGraphTailor::writeFullGraphTailor(int, int, KWOMLFile*) {}

int KWSGraphTailor::readGraphTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWOMLFile*) { return 0; }

int KWSGraphTailor::checkWriteGraphTailor(int, int, KWOMLFile*) { return 1; }

void KWSNodeTailor::writeFullNodeTailor(int, int, KWOMLFile*) {}

int KWSNodeTailor::readNodeTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWOMLFile*) { return 0; }

int KWSNodeTailor::checkWriteNodeTailor(int, int, KWOMLFile*) { return 1; }

void KWSEdgeTailor::writeFullEdgeTailor(int, int, KWOMLFile*) {}

int KWSEdgeTailor::readEdgeTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWOMLFile*) { return 0; }

int KWSEdgeTailor::checkWriteEdgeTailor(int, int, KWOMLFile*) { return 1; }
