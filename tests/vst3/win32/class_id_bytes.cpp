// Windows hosts store the class ID in the COM layout: the first word least
// significant byte first, the second word's halves swapped and each least
// significant byte first, the last two words most significant byte first.
namespace selvarin::test {
extern const unsigned char kPlatformClassIdBytes[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                                         'K',  'v',  'L',  'n',  'v',  '1',  'i',  'd'};
}  // namespace selvarin::test
