 DROP TABLE IF EXISTS escapes;
 CREATE TABLE escapes (
"A&B<C>"                                          Char(24),
"Q""{}\"                                          Char(16),
AMOUNT                                            Numeric,
OK                                                Boolean,
MEMO                                              Text,
BORN                                              Char(8));
insert into escapes values('say "hi", <b>&amp;','a;b,c	d',12.5,TRUE,'','20240131');
insert into escapes values('lead and trail','xyz
w',-3,FALSE,'','');
insert into escapes values('café € {x} \par','"',null,FALSE,'','19991231');
insert into escapes values('',' tab	',1000000,TRUE,'','');
