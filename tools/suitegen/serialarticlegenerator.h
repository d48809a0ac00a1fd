#pragma once

class IModLagerDBServerObj;
class TLagerServerObj;

// Demo articles with the serial-number duty carry as many serial numbers in LAGERSN as their
// whole stock, the state every booking keeps.

// Gives a drawn serial-number article a small whole stock and its last serial number; returns
// how many serial numbers it needs (0 for other articles). index makes it reproducible.
int PrepareDemoSerialArticle(TLagerServerObj &article, int index);
// Appends the article's serial numbers "<nr>-0001" onwards to the serial table.
void WriteDemoSerials(IModLagerDBServerObj &db, const TLagerServerObj &article, int count);
