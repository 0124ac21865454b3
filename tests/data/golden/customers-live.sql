 DROP TABLE IF EXISTS customers;
 CREATE TABLE customers (
NAME                                              Char(24),
BALANCE                                           Numeric(10,2),
ACTIVE                                            Boolean);
insert into customers values('Ana Müller',1250.5,TRUE);
insert into customers values('François Dupré',-42.25,TRUE);
insert into customers values('José Núñez',980,FALSE);
insert into customers values('Pat "the Cat" O''Neil',null,TRUE);
insert into customers values('Søren Kierkegård',123456.78,TRUE);
