-- The warehouse r3klv on PostgreSQL: the tables that the aggregation scripts
-- of the statistics and snapshot runs fill, in the column order the scripts
-- insert by, and the numbering of their *_seq_id columns.
--
-- The per-run staging tables (c, d, l, v and s followed by the run's table
-- key) are not here: their names change with every run, and the loader's
-- zmostage_<snap|stati>.sql drops and creates them before each load.
--
-- Types: texts have the widths of the staging columns they come from; dates
-- are date (the scripts cut the time off with to_date); hours are the
-- two-character texts the scripts select; counts and sums are bigint, and
-- the columns that hold a quotient are numeric, as a sum of bigint divided by
-- one is a numeric quotient.
--
-- Run as the owner of the database: psql -d r3klv -f schema.sql

-- Every *_seq_id column that a script inserts as 0 receives the next value
-- of its table's sequence, in insertion order, so that the rows of a run
-- are those above the highest id before it (r3_last_seq). A row inserted
-- with an id of its own keeps it.
create function zmo_assign_seq_id() returns trigger language plpgsql as $$
begin
  if coalesce((to_jsonb(NEW) ->> TG_ARGV[0])::bigint, 0) = 0 then
    NEW := jsonb_populate_record(NEW, jsonb_build_object(TG_ARGV[0], nextval(TG_ARGV[1]::regclass)));
  end if;
  return NEW;
end
$$;

-- Statistics: one row per system, server, day, hour, transaction, program,
-- user, record type and task type.
create table r3_progresp (
  record_type       varchar(1),
  system_label      varchar(34),
  sys_id            varchar(3),
  rfc_dest_str      varchar(20),
  host_name         varchar(55),
  diag_date         date,
  diag_hour         varchar(2),
  t_code            varchar(20),
  cua_prog          varchar(40),
  user_name         varchar(30),
  task_type         varchar(1),
  diag_count        bigint,
  cpu_time          bigint,
  response_time     bigint,
  database_time     bigint,
  other_time        bigint,
  kb_transfered     bigint,
  kb_changed        bigint,
  wait_time         bigint,
  memory_used       bigint,
  load_time         bigint,
  gui_time          bigint,
  gui_count         bigint,
  gui_net_time      bigint,
  prog_seq_id       bigint not null
);
create sequence r3_progresp_seq;
create trigger r3_progresp_seq_id before insert on r3_progresp
  for each row execute function zmo_assign_seq_id('prog_seq_id', 'r3_progresp_seq');
create index r3_progresp_seq_idx on r3_progresp (prog_seq_id);
create index r3_progresp_date_idx on r3_progresp (diag_date);

-- The highest prog_seq_id before a run's rows. A copy of an id, not an id
-- of its own: no numbering.
create table r3_last_seq (
  prog_seq_id       bigint
);

-- This run's statistics rows by application group.
create table r3_application (
  group_area        varchar(2),
  group_name        varchar(35),
  t_code            varchar(20),
  system_label      varchar(34),
  sys_id            varchar(3),
  rfc_dest_str      varchar(20),
  host_name         varchar(55),
  diag_date         date,
  diag_hour         varchar(2),
  diag_count        bigint,
  cpu_time          bigint,
  response_time     bigint,
  database_time     bigint,
  other_time        bigint,
  kb_transfered     bigint,
  kb_changed        bigint,
  wait_time         bigint,
  memory_used       bigint,
  load_time         bigint,
  gui_time          bigint,
  gui_count         bigint,
  gui_net_time      bigint,
  appl_seq_id       bigint not null
);
create sequence r3_application_seq;
create trigger r3_application_seq_id before insert on r3_application
  for each row execute function zmo_assign_seq_id('appl_seq_id', 'r3_application_seq');

-- The last 30 days by transaction.
create table r3_trans_sum (
  system_label      varchar(34),
  t_code            varchar(20),
  diag_count        bigint,
  tot_cpu_time      numeric,
  tot_response_time numeric,
  tot_database_time numeric,
  tot_other_time    numeric,
  tot_kb_transfered numeric,
  tot_kb_changed    numeric,
  tot_wait_time     numeric,
  tot_memory_used   numeric,
  tot_load_time     numeric,
  tot_gui_net_time  numeric,
  tot_gui_time      numeric,
  tot_end_to_end    numeric,
  avg_cpu_time      numeric,
  avg_response_time numeric,
  avg_database_time numeric,
  avg_other_time    numeric,
  avg_kb_transfered numeric,
  avg_kb_changed    numeric,
  avg_wait_time     numeric,
  avg_memory_used   numeric,
  avg_load_time     numeric,
  avg_gui_net_time  numeric,
  avg_gui_time      numeric,
  avg_end_to_end    numeric
);

-- The last 30 days by program.
create table r3_prog_sum (
  system_label      varchar(34),
  cua_prog          varchar(40),
  diag_count        bigint,
  tot_cpu_time      numeric,
  tot_kb_transfered numeric,
  tot_kb_changed    numeric,
  tot_database_time numeric,
  avg_cpu_time      numeric,
  avg_response_time numeric,
  avg_database_time numeric,
  avg_other_time    numeric,
  avg_kb_transfered numeric,
  avg_kb_changed    numeric,
  avg_wait_time     numeric,
  avg_memory_used   numeric,
  avg_load_time     numeric
);

-- Users and sessions per hour: 'A' active users (statistics), 'L' logged-on
-- users and 'S' sessions (snapshots).
create table r3_user_sum (
  record_type       varchar(1),
  system_label      varchar(34),
  host_name         varchar(55),
  rfc_dest_str      varchar(20),
  user_count        numeric,
  diag_date         date,
  diag_hour         varchar(2),
  user_seq_id       bigint not null
);
create sequence r3_user_sum_seq;
create trigger r3_user_sum_seq_id before insert on r3_user_sum
  for each row execute function zmo_assign_seq_id('user_seq_id', 'r3_user_sum_seq');

-- The week-over-week comparison: the last 7 days, 28 to 8 days back, and
-- their averages side by side.
create table r3_cur_prog (
  system_label      varchar(34),
  t_code            varchar(20),
  cua_prog          varchar(40),
  tot_count         bigint,
  tot_cpu_time      numeric,
  tot_kb_transfered numeric,
  tot_kb_changed    numeric,
  tot_response_time numeric,
  tot_database_time numeric,
  tot_memory_used   numeric
);
create table r3_prev_prog (like r3_cur_prog);

create table r3_trans_variance (
  system_label      varchar(34),
  t_code            varchar(20),
  cur_count         numeric,
  cur_avg_cpu_time  numeric,
  cur_avg_kb_trans  numeric,
  cur_avg_kb_changd numeric,
  cur_avg_resp_time numeric,
  cur_avg_db_time   numeric,
  cur_avg_mem_used  numeric,
  prev_count        numeric,
  prev_avg_cpu_time numeric,
  prev_avg_kb_trans numeric,
  prev_avg_kb_changd numeric,
  prev_avg_resp_time numeric,
  prev_avg_db_time  numeric,
  prev_avg_mem_used numeric
);

create table r3_prog_variance (
  system_label      varchar(34),
  cua_prog          varchar(40),
  cur_count         numeric,
  cur_avg_cpu_time  numeric,
  cur_avg_kb_trans  numeric,
  cur_avg_kb_changd numeric,
  cur_avg_resp_time numeric,
  cur_avg_db_time   numeric,
  cur_avg_mem_used  numeric,
  prev_count        numeric,
  prev_avg_cpu_time numeric,
  prev_avg_kb_trans numeric,
  prev_avg_kb_changd numeric,
  prev_avg_resp_time numeric,
  prev_avg_db_time  numeric,
  prev_avg_mem_used numeric
);

-- Transactions of the application groups ('ZZ' rows from the group files),
-- with the group's service level in milliseconds (null: none).
create table r3_tcode_group (
  group_area        varchar(2),
  group_name        varchar(35),
  t_code            varchar(20),
  sla               integer
);

-- Steps within and beyond the service level, per hour.
create table r3_tx_sla (
  system_label      varchar(34),
  sys_id            varchar(3),
  group_name        varchar(35),
  t_code            varchar(20),
  record_date       date,
  record_hour       varchar(2),
  sla_yes_count     bigint,
  sla_no_count      bigint,
  tot_count         bigint,
  sla_seq_id        bigint not null
);
create sequence r3_tx_sla_seq;
create trigger r3_tx_sla_seq_id before insert on r3_tx_sla
  for each row execute function zmo_assign_seq_id('sla_seq_id', 'r3_tx_sla_seq');

create table r3_sla_sum (
  system_label      varchar(34),
  group_name        varchar(35),
  record_date       date,
  sla_yes_count     bigint,
  sla_no_count      bigint,
  tot_count         bigint
);

-- Snapshots: CPU, disks and network interfaces per hour.
create table r3_cpu (
  rfc_dest_str      varchar(20),
  host_name         varchar(55),
  system_label      varchar(34),
  sys_id            varchar(3),
  snap_client       integer,
  snap_date         date,
  snap_hour         varchar(2),
  snap_count        bigint,
  num_of_cpu        integer,
  load1_avg         bigint,
  load5_avg         bigint,
  load15_avg        bigint,
  user_cpu          bigint,
  system_cpu        bigint,
  idle_CPU          bigint,
  page_in_sec       bigint,
  page_out_sec      bigint,
  free_memory       bigint,
  tot_memory        bigint,
  num_users         bigint,
  num_modi          bigint,
  cpu_seq_id        bigint not null
);
create sequence r3_cpu_seq;
create trigger r3_cpu_seq_id before insert on r3_cpu
  for each row execute function zmo_assign_seq_id('cpu_seq_id', 'r3_cpu_seq');

create table r3_disk (
  rfc_dest_str      varchar(20),
  host_name         varchar(55),
  system_label      varchar(34),
  sys_id            varchar(3),
  snap_client       integer,
  snap_date         date,
  snap_hour         varchar(2),
  snap_count        bigint,
  disk_name         varchar(34),
  utilization       bigint,
  queue_length      bigint,
  wait              bigint,
  service           bigint,
  disk_seq_id       bigint not null
);
create sequence r3_disk_seq;
create trigger r3_disk_seq_id before insert on r3_disk
  for each row execute function zmo_assign_seq_id('disk_seq_id', 'r3_disk_seq');

create table r3_lan (
  rfc_dest_str      varchar(20),
  host_name         varchar(55),
  system_label      varchar(34),
  sys_id            varchar(3),
  snap_client       integer,
  snap_date         date,
  snap_hour         varchar(2),
  snap_count        bigint,
  lan_name          varchar(34),
  packets_in        bigint,
  packets_out       bigint,
  in_errors         bigint,
  out_errors        bigint,
  collisions        bigint,
  lan_seq_id        bigint not null
);
create sequence r3_lan_seq;
create trigger r3_lan_seq_id before insert on r3_lan
  for each row execute function zmo_assign_seq_id('lan_seq_id', 'r3_lan_seq');

-- Daily CPU and disk averages (trend data).
create table r3_cpu_sum (
  rfc_dest_str      varchar(20),
  host_name         varchar(55),
  system_label      varchar(34),
  sys_id            varchar(3),
  snap_date         date,
  page_in_sec       numeric,
  page_out_sec      numeric,
  user_cpu          numeric,
  system_cpu        numeric,
  idle_CPU          numeric
);

create table r3_disk_sum (
  rfc_dest_str      varchar(20),
  host_name         varchar(55),
  system_label      varchar(34),
  sys_id            varchar(3),
  snap_date         date,
  disk_name         varchar(34),
  utilization       numeric,
  queue_length      numeric,
  wait              numeric,
  service           numeric
);

-- Availability per hour: checks and checks that found the system up.
create table r3_avail_sum (
  rfc_dest_str      varchar(20),
  host_name         varchar(55),
  system_label      varchar(34),
  sys_id            varchar(3),
  snap_date         date,
  snap_hour         varchar(2),
  snap_count        bigint,
  sys_available     bigint,
  avail_seq_id      bigint not null
);
create sequence r3_avail_sum_seq;
create trigger r3_avail_sum_seq_id before insert on r3_avail_sum
  for each row execute function zmo_assign_seq_id('avail_seq_id', 'r3_avail_sum_seq');

-- The intervals whose statistic records are in the warehouse: one row per
-- server (destination, host, system label), record kind ('B' batch steps,
-- 'N' normal records) and interval, from the interval lines a collection
-- writes after each server's records. A load deletes from its staging table
-- every record whose end lies in an interval already here, inside the
-- aggregation's transaction, so that an interval collected, handed over or
-- loaded again is counted once. The stamps are the staging table's text.
create table r3_interval_done (
  rfc_dest_str      varchar(20),
  host_name         varchar(55),
  system_label      varchar(34),
  record_type       varchar(1),
  start_date        varchar(26),
  end_date          varchar(26)
);
create index r3_interval_done_server
  on r3_interval_done (rfc_dest_str, host_name, system_label, record_type);

-- The statistic data files whose records are in the warehouse, by tag: the
-- aggregation marks its file in its own transaction, and a batch that
-- finds its file marked moves it to the archive instead of loading it
-- again.
create table r3_load_done (
  load_tag          varchar(40) primary key,
  done_at           timestamp default current_timestamp
);
