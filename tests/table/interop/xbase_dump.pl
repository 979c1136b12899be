#!/usr/bin/perl
# Prints the live records of a dBase table as Perl XBase reads them, in the canonical dump
# form of the interop tests (see dbfread_dump.py). Text is converted from the code page given
# second (default 437).
use strict;
use warnings;
use XBase;
use Encode qw(decode encode);

my $table = XBase->new(name => $ARGV[0], ignorememo => 1) or die XBase->errstr;
my @types = $table->field_types;
my $codepage = 'cp' . ($ARGV[1] // '437');
binmode STDOUT;
for my $i (0 .. $table->last_record) {
  my ($deleted, @values) = $table->get_record($i);
  next if $deleted;
  my @out;
  for my $f (0 .. $#values) {
    my ($v, $t) = ($values[$f], $types[$f]);
    if (!defined $v || $v eq '') { push @out, ''; }
    elsif ($t eq 'N' || $t eq 'F') { push @out, sprintf('%.4f', $v); }
    elsif ($t eq 'L') { push @out, $v ? 'T' : 'F'; }
    else { $v =~ s/ +$//; push @out, encode('UTF-8', decode($codepage, $v)); }
  }
  print join("\t", @out), "\n";
}
$table->close;
