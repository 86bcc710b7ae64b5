#!/usr/bin/perl
# Rewrites strings of a Windows program's version resource in place, each new
# text no longer than the old one: perl version-strings.pl FILE NAME=TEXT...
# The setup program's uninstaller is written from the setup's own header, so it
# would otherwise describe itself as the setup. The installer's own check sum
# (CRC-32 of everything after the first 512 bytes up to its last four) is
# written anew.
use strict;
use warnings;
use Encode qw(encode);

sub crc32 {
    my ($bytes) = @_;
    my @table = map {
        my $c = $_;
        $c = $c & 1 ? 0xEDB88320 ^ ($c >> 1) : $c >> 1 for 1 .. 8;
        $c;
    } 0 .. 255;
    my $crc = 0xFFFFFFFF;
    $crc = $table[($crc ^ $_) & 0xFF] ^ ($crc >> 8) for unpack('C*', $bytes);
    return $crc ^ 0xFFFFFFFF;
}

my $file = shift @ARGV;
open(my $fh, '+<:raw', $file) or die "$file: $!\n";
my $data = do { local $/; <$fh> };

for my $change (@ARGV) {
    my ($name, $text) = split(/=/, $change, 2);
    my $key = encode('UTF-16LE', "$name\0");
    my $at = index($data, $key);
    die "$file: no version string $name\n" if $at < 6;
    my $start = $at - 6;                      # wLength, wValueLength, wType, szKey
    my $length = unpack('v', substr($data, $start, 2));
    my $value = $at + length($key);
    $value += 2 while ($value - $start) % 4;  # the value starts on a 32-bit boundary
    my $room = $start + $length - $value;
    my $new = encode('UTF-16LE', "$text\0");
    die "$file: \"$text\" is longer than the $name it replaces\n" if length($new) > $room;
    substr($data, $value, $room) = $new . ("\0" x ($room - length($new)));
    substr($data, $start + 2, 2) = pack('v', length($new) / 2);
}

# The first header sits on a 512-byte boundary: flags, 0xDEADBEEF,
# "NullsoftInst", header length, length of everything from it to the end.
my $header = 512;
$header += 512 while $header < length($data) && substr($data, $header + 4, 16) ne "\xef\xbe\xad\xdeNullsoftInst";
die "$file: not an installer\n" if $header >= length($data);
my $end = $header + unpack('V', substr($data, $header + 24, 4));
substr($data, $end - 4, 4) = pack('V', crc32(substr($data, 512, $end - 4 - 512)));

seek($fh, 0, 0);
print $fh $data;
close($fh) or die "$file: $!\n";
