// Linux hosts store the class ID with each word most significant byte first:
// F2AEE70D 00DE4F4E 'KvLn' 'v1id'.
namespace selvarin::test {
extern const unsigned char kPlatformClassIdBytes[16] = {0xF2, 0xAE, 0xE7, 0x0D, 0x00, 0xDE, 0x4F, 0x4E,
                                                         'K',  'v',  'L',  'n',  'v',  '1',  'i',  'd'};
}  // namespace selvarin::test
