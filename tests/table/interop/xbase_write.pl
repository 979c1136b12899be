#!/usr/bin/perl
# Writes a pest-shaped dBase III table with Perl XBase (text in code page 437).
use strict;
use warnings;
use XBase;

unlink $ARGV[0];
my $table = XBase->create(
  name => $ARGV[0],
  field_names => ['IDX', 'NAME_PEST', 'F_START', 'WHEN', 'OK'],
  field_types => ['N', 'C', 'N', 'D', 'L'],
  field_lengths => [4, 20, 8, 8, 1],
  field_decimals => [0, 0, 2, 0, 0]) or die XBase->errstr;
$table->set_record(0, 7, 'Cockroach', 2.5, '20240229', 1);
$table->set_record(1, -12, "M\x81cke", -0.75, '19000101', 0);
$table->set_record(2, 9999, 'Blank', undef, undef, 0);
$table->close;
